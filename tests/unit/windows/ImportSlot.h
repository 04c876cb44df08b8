// ImportSlot.h — fault injection for the unit tests: the launcher's units
// call system functions through this program's import slots, so pointing a
// slot at a stand-in makes that call fail wherever the units make it.
#pragma once

#include <windows.h>

// The linker's name of a function's import slot: undecorated on 64-bit
// Windows, with the stdcall decoration (argument bytes) on 32-bit Windows.
#ifdef _WIN64
#define IMPORT_SLOT_NAME(function, argumentBytes) "__imp_" #function
#else
#define IMPORT_SLOT_NAME(function, argumentBytes) "__imp__" #function "@" #argumentBytes
#endif

// Points `slot` at `standIn` while it lives.
class ImportSlotPatch {
public:
    template <typename Function>
    ImportSlotPatch(Function* slot, Function standIn) : slot_(reinterpret_cast<void**>(slot)), saved_(*slot_) {
        Write(reinterpret_cast<void*>(standIn));
    }
    ~ImportSlotPatch() { Write(saved_); }
    ImportSlotPatch(const ImportSlotPatch&) = delete;
    ImportSlotPatch& operator=(const ImportSlotPatch&) = delete;

private:
    void Write(void* value) {
        DWORD previous = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &previous);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, previous, &previous);
    }

    void** slot_;
    void* saved_;
};
