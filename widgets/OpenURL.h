#pragma once
// Hands a document path, web address or "mailto:" link to the desktop.
#include <QString>

class TMisc {
public:
    // Paths and mail links come wrapped in double quotes; web addresses bare.
    // False when the desktop has no program for it; callers that care say so.
    static bool Open(const QString &sCommand);
};
