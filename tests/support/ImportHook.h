// Points one function that a loaded module imports by name at a stand-in, for
// the life of the hook, so that a test can put a fault (an allocation that
// fails) inside a DLL it does not build differently.
#pragma once

#include <windows.h>

#include <cstring>

class CImportHook {
public:
    // dll is matched without regard to case ("msvcrt.dll").
    CImportHook(HMODULE module, const char* dll, const char* function, void* standIn)
        : m_slot(FindSlot(module, dll, function)), m_original(nullptr)
    {
        if (m_slot) {
            m_original = reinterpret_cast<void*>(*m_slot);
            Write(reinterpret_cast<ULONG_PTR>(standIn));
        }
    }
    ~CImportHook()
    {
        if (m_slot)
            Write(reinterpret_cast<ULONG_PTR>(m_original));
    }
    CImportHook(const CImportHook&) = delete;
    CImportHook& operator=(const CImportHook&) = delete;

    bool IsSet() const { return m_slot != nullptr; }
    void* Original() const { return m_original; }

private:
    static ULONG_PTR* FindSlot(HMODULE module, const char* dll, const char* function)
    {
        if (!module)
            return nullptr;
        const BYTE* base = reinterpret_cast<const BYTE*>(module);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!imports.VirtualAddress)
            return nullptr;
        for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             entry->Name; ++entry) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0 || !entry->OriginalFirstThunk)
                continue;
            const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(const_cast<BYTE*>(base) + entry->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                    return reinterpret_cast<ULONG_PTR*>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    void Write(ULONG_PTR value)
    {
        DWORD before = 0;
        VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &before);
        *m_slot = value;
        VirtualProtect(m_slot, sizeof *m_slot, before, &before);
    }

    ULONG_PTR* m_slot;
    void* m_original;
};
