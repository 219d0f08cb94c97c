#pragma once
// libcurl, opened at the first mail client rather than at start-up: the library and the
// many it pulls in (TLS, Kerberos, LDAP, SSH...) cost every start of the program, and
// most runs send no mail.
#include <curl/curl.h>

struct TLibCurl {
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_perform) easy_perform;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_easy_strerror) easy_strerror;
    decltype(&curl_slist_append) slist_append;
    decltype(&curl_slist_free_all) slist_free_all;
};

// libcurl's functions, the library opened and initialised once for the run; nullptr when
// it cannot be opened.
const TLibCurl *LibCurl();
