/* Import slot rewriting for a library loaded with dlopen: walks the
 * library's REL relocation tables (32-bit x86 uses REL, not RELA) for
 * entries naming the symbol and overwrites the slots they fill. */
#define _GNU_SOURCE
#include "got_patch.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <stdint.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

struct dynamic_info {
    ElfW(Addr) base;
    const ElfW(Sym) *symbols;
    const char *strings;
    const ElfW(Rel) *tables[2];
    size_t sizes[2];
};

/* glibc relocates the addresses in the dynamic section in place on this
 * target; a loader that leaves them as offsets is served as well. */
static const void *loaded(ElfW(Addr) base, ElfW(Addr) value)
{
    return (const void *)(value < base ? base + value : value);
}

static void read_dynamic_section(const struct link_map *map, struct dynamic_info *info)
{
    memset(info, 0, sizeof *info);
    info->base = map->l_addr;
    for (const ElfW(Dyn) *d = map->l_ld; d->d_tag != DT_NULL; d++) {
        switch (d->d_tag) {
        case DT_SYMTAB: info->symbols = loaded(map->l_addr, d->d_un.d_ptr); break;
        case DT_STRTAB: info->strings = loaded(map->l_addr, d->d_un.d_ptr); break;
        case DT_REL: info->tables[0] = loaded(map->l_addr, d->d_un.d_ptr); break;
        case DT_RELSZ: info->sizes[0] = d->d_un.d_val; break;
        case DT_JMPREL: info->tables[1] = loaded(map->l_addr, d->d_un.d_ptr); break;
        case DT_PLTRELSZ: info->sizes[1] = d->d_un.d_val; break;
        }
    }
}

/* The slots lie in the read-only-after-relocation segment; the page is
 * left writable afterwards, as its original protection is not known. */
static void write_slot(void **slot, void *value)
{
    uintptr_t page = (uintptr_t)sysconf(_SC_PAGESIZE);
    mprotect((void *)((uintptr_t)slot & ~(page - 1)), page, PROT_READ | PROT_WRITE);
    *slot = value;
}

static int redirect_in_table(const struct dynamic_info *info, int table,
                             const char *symbol, void *replacement)
{
    int rewritten = 0;
    size_t count = info->sizes[table] / sizeof(ElfW(Rel));
    for (size_t i = 0; i < count; i++) {
        const ElfW(Rel) *rel = &info->tables[table][i];
        unsigned type = ELF32_R_TYPE(rel->r_info);
        unsigned index = ELF32_R_SYM(rel->r_info);
        if ((type != R_386_JMP_SLOT && type != R_386_GLOB_DAT) || index == 0)
            continue;
        if (strcmp(info->strings + info->symbols[index].st_name, symbol) != 0)
            continue;
        write_slot((void **)(info->base + rel->r_offset), replacement);
        rewritten++;
    }
    return rewritten;
}

int redirect_import(void *handle, const char *symbol, void *replacement)
{
    struct link_map *map;
    struct dynamic_info info;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0)
        return 0;
    read_dynamic_section(map, &info);
    if (!info.symbols || !info.strings)
        return 0;
    int rewritten = 0;
    for (int table = 0; table < 2; table++)
        if (info.tables[table])
            rewritten += redirect_in_table(&info, table, symbol, replacement);
    return rewritten;
}
