#include "import_table.h"

#include <cstdint>

std::vector<imported_function> list_imports(HMODULE module)
{
    std::vector<imported_function> imports;
    BYTE *base = reinterpret_cast<BYTE *>(module);
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0)
        return imports;
    for (auto *dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + directory.VirtualAddress);
         dll->Name != 0; ++dll) {
        const char *module_name = reinterpret_cast<char *>(base + dll->Name);
        auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + dll->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            std::string name;
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                name = "#" + std::to_string(IMAGE_ORDINAL(names->u1.Ordinal));
            } else {
                auto *by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
                name = reinterpret_cast<char *>(by_name->Name);
            }
            imports.push_back({ module_name, name, &slots->u1.Function });
        }
    }
    return imports;
}

ULONG_PTR replace_import(const imported_function &import, ULONG_PTR replacement)
{
    DWORD old_protection;
    VirtualProtect(import.slot, sizeof *import.slot, PAGE_READWRITE, &old_protection);
    ULONG_PTR previous = *import.slot;
    *import.slot = replacement;
    VirtualProtect(import.slot, sizeof *import.slot, old_protection, &old_protection);
    return previous;
}

namespace {

#pragma pack(push, 1)
struct counting_thunk {
    uint8_t increment[2];  // FF 05: inc dword ptr [counter]
    DWORD *counter;
    uint8_t jump[2];       // FF 25: jmp dword ptr [original]
    ULONG_PTR *original;
};
#pragma pack(pop)

static_assert(sizeof(void *) == 4, "the thunks are 32-bit x86 code");

}

bool install_call_counter(HMODULE module, import_call_counter *counter)
{
    counter->imports = list_imports(module);
    size_t count = counter->imports.size();
    if (count == 0)
        return false;
    counter->originals.assign(count, 0);
    counter->calls.assign(count, 0);
    counter->thunks = VirtualAlloc(nullptr, count * sizeof(counting_thunk), MEM_COMMIT | MEM_RESERVE,
                                   PAGE_EXECUTE_READWRITE);
    if (counter->thunks == nullptr)
        return false;
    auto *thunks = static_cast<counting_thunk *>(counter->thunks);
    for (size_t i = 0; i < count; ++i) {
        counter->originals[i] = *counter->imports[i].slot;
        thunks[i] = { { 0xFF, 0x05 }, &counter->calls[i], { 0xFF, 0x25 }, &counter->originals[i] };
    }
    FlushInstructionCache(GetCurrentProcess(), thunks, count * sizeof(counting_thunk));
    for (size_t i = 0; i < count; ++i)
        replace_import(counter->imports[i], reinterpret_cast<ULONG_PTR>(&thunks[i]));
    return true;
}

void reset_call_counts(import_call_counter *counter)
{
    for (DWORD &calls : counter->calls)
        calls = 0;
}

void remove_call_counter(import_call_counter *counter)
{
    for (size_t i = 0; i < counter->imports.size(); ++i)
        replace_import(counter->imports[i], counter->originals[i]);
    if (counter->thunks != nullptr)
        VirtualFree(counter->thunks, 0, MEM_RELEASE);
    *counter = import_call_counter();
}
