#pragma once
// The folder's import: "Tesserati.pro.bak", a copy of the archive as it was, and the new
// archive are written aside; the new records follow the old ones a megabyte at a time.
// Conferma makes the dated copy (CopieImportazione), then puts the copy and the new
// archive in place, in that order; anything less is discarded.
#include "storage/Deposito.h"

#include <QSaveFile>

inline const QString NomeCopiaArchivio = QStringLiteral("Tesserati.pro.bak");

class TImportazioneFile : public TDeposito::TImportazione {
public:
    // Throws ErroreFile when the copy or the new archive cannot be begun.
    TImportazioneFile(const QString &cartella, int schede);
    void Accoda(const TScheda &s) override;
    bool Conferma(const QList<int> &foto) override;

private:
    void Svuota();

    QString m_cartella, m_percorso;
    QSaveFile m_nuovo, m_copia;
    QByteArray m_blocco;
    int m_blocchi = 0;
};
