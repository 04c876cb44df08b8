// RuntimeDouble.h — test support: fake runtime homes made of the doubles
// that the test build puts into doubles\ beside the test program, in a
// directory of their own below the temporary directory.
#pragma once

#include <windows.h>

#include <fstream>
#include <string>

#include "FileUtils.h"

// A fresh runtime home "<temp>\kestrel-unit-<name>" holding bin\java.exe.
class RuntimeDouble {
public:
    explicit RuntimeDouble(const std::string& name) {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        home_ = std::string(temp) + "kestrel-unit-" + name;
        Remove();
        CreateDirectoryA(home_.c_str(), nullptr);
        CreateDirectoryA((home_ + "\\bin").c_str(), nullptr);
        CopyFileA(Double("java.exe").c_str(), Java().c_str(), FALSE);
    }
    ~RuntimeDouble() { Remove(); }

    // The java.cfg lines of the java.exe double (see JavaDouble.cpp).
    void Behave(const std::string& settings) const { Write(home_ + "\\bin\\java.cfg", settings); }
    std::string Java() const { return home_ + "\\bin\\java.exe"; }
    const std::string& Home() const { return home_; }
    // How many times java.exe was started.
    int Starts() const {
        std::ifstream log(home_ + "\\bin\\java.log");
        int lines = 0;
        for (std::string line; std::getline(log, line);) ++lines;
        return lines;
    }

    static std::string Double(const std::string& name) {
        return std::string(ExecutableDirectory()) + "doubles\\" + name;
    }

private:
    static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    void Remove() const {
        for (const char* file : {"\\bin\\java.exe", "\\bin\\java.cfg", "\\bin\\java.log"})
            DeleteFileA((home_ + file).c_str());
        RemoveDirectoryA((home_ + "\\bin").c_str());
        RemoveDirectoryA(home_.c_str());
    }

    std::string home_;
};
