// The import address table of a loaded module: every function it calls in
// another module goes through one of these slots, so rewriting a slot sees
// (or replaces) every such call.
#ifndef QEL_TESTS_WINE_IMPORT_TABLE_H
#define QEL_TESTS_WINE_IMPORT_TABLE_H

#include <windows.h>

#include <string>
#include <vector>

struct imported_function {
    std::string module_name;  // as the import table spells it
    std::string name;         // "#n" for an import by ordinal
    ULONG_PTR *slot;
};

std::vector<imported_function> list_imports(HMODULE module);

// Points the slot at `replacement` and returns what it held.
ULONG_PTR replace_import(const imported_function &import, ULONG_PTR replacement);

// Counts the module's calls to each import. Each slot is pointed at a small
// thunk that adds one to the import's counter and jumps on to the real
// function with the stack untouched, so any calling rule passes through.
struct import_call_counter {
    std::vector<imported_function> imports;
    std::vector<ULONG_PTR> originals;
    std::vector<DWORD> calls;  // one per import; not resized once installed
    void *thunks = nullptr;
};

bool install_call_counter(HMODULE module, import_call_counter *counter);
void reset_call_counts(import_call_counter *counter);
void remove_call_counter(import_call_counter *counter);

#endif
