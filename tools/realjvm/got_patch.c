/* Import slot rewriting for a library loaded with dlopen: walks the
 * library's relocation tables (REL on 32-bit x86, RELA on x86-64) for
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

#if defined(__x86_64__)
typedef ElfW(Rela) relocation;
#define DT_RELOCATIONS DT_RELA
#define DT_RELOCATIONS_SIZE DT_RELASZ
#define R_FUNCTION_SLOT R_X86_64_JUMP_SLOT
#define R_DATA_SLOT R_X86_64_GLOB_DAT
#define relocation_type ELF64_R_TYPE
#define relocation_symbol ELF64_R_SYM
#else
typedef ElfW(Rel) relocation;
#define DT_RELOCATIONS DT_REL
#define DT_RELOCATIONS_SIZE DT_RELSZ
#define R_FUNCTION_SLOT R_386_JMP_SLOT
#define R_DATA_SLOT R_386_GLOB_DAT
#define relocation_type ELF32_R_TYPE
#define relocation_symbol ELF32_R_SYM
#endif

struct dynamic_info {
    ElfW(Addr) base;
    const ElfW(Sym) *symbols;
    const char *strings;
    const relocation *tables[2];
    size_t sizes[2];
};

/* glibc relocates the addresses in the dynamic section in place on these
 * targets; a loader that leaves them as offsets is served as well. */
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
        case DT_RELOCATIONS: info->tables[0] = loaded(map->l_addr, d->d_un.d_ptr); break;
        case DT_RELOCATIONS_SIZE: info->sizes[0] = d->d_un.d_val; break;
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
    size_t count = info->sizes[table] / sizeof(relocation);
    for (size_t i = 0; i < count; i++) {
        const relocation *rel = &info->tables[table][i];
        unsigned type = relocation_type(rel->r_info);
        unsigned index = relocation_symbol(rel->r_info);
        if ((type != R_FUNCTION_SLOT && type != R_DATA_SLOT) || index == 0)
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
