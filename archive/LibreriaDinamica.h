#pragma once
// A library opened at run time (dlopen) rather than linked: for those that would load, with
// all they pull in, at every start of the program, though few runs use them.
#include <dlfcn.h>

namespace LibreriaDinamica {

// Takes the function `nome` of the opened `libreria` into `funzione`; false when missing.
template <class F> bool Prendi(void *libreria, const char *nome, F &funzione)
{
    funzione = reinterpret_cast<F>(dlsym(libreria, nome));
    return funzione != nullptr;
}

} // namespace LibreriaDinamica
