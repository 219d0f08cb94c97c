#include "mail/core/LibCurl.h"

#include "archive/LibreriaDinamica.h"

namespace {
using LibreriaDinamica::Prendi;

const TLibCurl *Apri()
{
    // The library stays open for the rest of the run.
    void *lib = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return nullptr;
    static TLibCurl f;
    decltype(&curl_global_init) global_init = nullptr;
    if (!Prendi(lib, "curl_global_init", global_init) ||
        !Prendi(lib, "curl_easy_init", f.easy_init) ||
        !Prendi(lib, "curl_easy_cleanup", f.easy_cleanup) ||
        !Prendi(lib, "curl_easy_setopt", f.easy_setopt) ||
        !Prendi(lib, "curl_easy_perform", f.easy_perform) ||
        !Prendi(lib, "curl_easy_getinfo", f.easy_getinfo) ||
        !Prendi(lib, "curl_easy_strerror", f.easy_strerror) ||
        !Prendi(lib, "curl_slist_append", f.slist_append) ||
        !Prendi(lib, "curl_slist_free_all", f.slist_free_all))
        return nullptr;
    global_init(CURL_GLOBAL_DEFAULT);
    return &f;
}
} // namespace

const TLibCurl *LibCurl()
{
    // Opened at the first call, once, whichever thread makes it.
    static const TLibCurl *const funzioni = Apri();
    return funzioni;
}
