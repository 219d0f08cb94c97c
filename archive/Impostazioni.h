#pragma once
// Sectioned settings file: "[Section]" lines followed by "key=value" lines.
// Names are kept exactly as given, blanks included. Reads UTF-8 or Windows-1252,
// writes UTF-8 and keeps every other line as it was.
#include <QString>
#include <QStringList>

class TFileIni {
public:
    explicit TFileIni(const QString &percorso); // reads the file; a missing one is empty
    QString Leggi(const QString &sezione, const QString &chiave,
                  const QString &predefinito = QString()) const;
    // Sets a key in memory, creating the section or key when missing; line breaks in
    // the value become blanks.
    void Imposta(const QString &sezione, const QString &chiave, const QString &valore);
    // Writes the whole file; throws ErroreFile("Unable to write to <path>") on failure.
    void Salva() const;
    // Imposta followed by Salva.
    void Scrivi(const QString &sezione, const QString &chiave, const QString &valore);

    const QString &percorso() const { return m_percorso; }
    // Decodes file bytes: UTF-8 when valid (BOM dropped), else Windows-1252.
    static QStringList Righe(const QByteArray &contenuto);

private:
    int RigaSezione(const QString &sezione) const;
    int RigaChiave(int rigaSezione, const QString &chiave) const;

    QString m_percorso;
    QStringList m_righe;
};
