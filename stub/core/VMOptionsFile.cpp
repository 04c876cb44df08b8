// VMOptionsFile.cpp — reading VM options line by line.
#include "VMOptionsFile.h"

#include <cstring>

namespace {

// The options of the line being read. CRs are held back until the next
// character shows whether they stand inside the line or end it, so the line
// end is removed whole, also where the line is cut into options.
class LineOptions {
public:
    explicit LineOptions(StringList& options) : options_(options) {}

    // Characters of the line other than CR and LF.
    bool Add(const char* text, size_t length) {
        started_ = true;
        for (; heldReturns_ > 0; --heldReturns_)
            if (!Append("\r", 1)) return false;
        return Append(text, length);
    }
    void HoldReturn() {
        started_ = true;
        ++heldReturns_;
    }
    bool Started() const { return started_; }
    // The line has ended: its last option, or its only one (perhaps empty).
    bool End() {
        bool appended = length_ == 0 && optionTaken_ ? true : options_.Append(text_, length_);
        length_ = heldReturns_ = 0;
        started_ = optionTaken_ = false;
        return appended;
    }

private:
    bool Append(const char* text, size_t length) {
        while (length > 0) {
            if (length_ == VMOptionLineLimit) {
                if (!options_.Append(text_, length_)) return false;
                length_ = 0;
                optionTaken_ = true;
            }
            size_t part = VMOptionLineLimit - length_ < length ? VMOptionLineLimit - length_ : length;
            memcpy(text_ + length_, text, part);
            length_ += part;
            text += part;
            length -= part;
        }
        return true;
    }

    StringList& options_;
    char text_[VMOptionLineLimit];
    size_t length_ = 0;
    size_t heldReturns_ = 0;
    bool started_ = false;      // anything of the line was read
    bool optionTaken_ = false;  // a full option of the line was appended
};

// Adds characters of one line, none of them LF: the runs between CRs, each
// CR held back.
bool AddLinePart(LineOptions& line, const char* text, size_t length) {
    for (;;) {
        const char* cr = static_cast<const char*>(memchr(text, '\r', length));
        size_t run = cr ? size_t(cr - text) : length;
        if (run > 0 && !line.Add(text, run)) return false;
        if (!cr) return true;
        line.HoldReturn();
        text += run + 1;
        length -= run + 1;
    }
}

}  // namespace

bool ReadVMOptionLines(FILE* file, StringList& options) {
    LineOptions line(options);
    char block[4096];
    for (size_t got; (got = fread(block, 1, sizeof block, file)) > 0;) {
        for (const char *text = block, *end = block + got;;) {
            const char* lf = static_cast<const char*>(memchr(text, '\n', size_t(end - text)));
            if (!AddLinePart(line, text, size_t((lf ? lf : end) - text))) return false;
            if (!lf) break;
            if (!line.End()) return false;
            text = lf + 1;
        }
    }
    return !line.Started() || line.End();
}
