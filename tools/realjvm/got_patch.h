/* Redirecting the calls a loaded Linux library makes to one imported
 * function, by rewriting that library's own import slots. */
#ifndef REALJVM_GOT_PATCH_H
#define REALJVM_GOT_PATCH_H

/* Points every import slot of `symbol` in the library opened as `handle`
 * at `replacement`. Returns the number of slots rewritten. */
int redirect_import(void *handle, const char *symbol, void *replacement);

#endif
