#pragma once
// Hands a document path, web address or "mailto:" link to the desktop.
#include <QString>

class TMisc {
public:
    // Paths and mail links come wrapped in double quotes; web addresses bare.
    // The outcome is not examined: failures are silent.
    static void Open(const QString &sCommand);
};
