// The translations compiled into quizpack: one table per po/LANG.po, made at build time by
// cmake/po_table.py. Only messages.cpp reads them.
#pragma once

#include <cstddef>

struct CatalogueEntry {
    const char* english;       // the message as the sources write it (its singular)
    const char* translated[2]; // its translation; a plural message's two forms
};

struct Catalogue {
    const char* code;              // "fr", the .po file's name
    const CatalogueEntry* entries; // sorted by `english`, as strcmp orders bytes
    size_t count;
};

extern const Catalogue kCatalogues[];
extern const size_t kCatalogueCount;
