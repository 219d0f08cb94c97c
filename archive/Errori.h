#pragma once
// The error type of core file operations: carries a text to show the user.
#include <QString>

#include <stdexcept>

class ErroreFile : public std::runtime_error {
public:
    explicit ErroreFile(const QString &testo)
        : std::runtime_error(testo.toStdString()), m_testo(testo)
    {
    }
    const QString &testo() const { return m_testo; }

private:
    QString m_testo;
};
