#pragma once
// The archive file "Tesserati.pro": fixed-size records addressed by 1-based position.
// One TArchivio lives for one user action: the constructor opens (creating the file
// when missing), the destructor closes on every path.
#include "archive/Errori.h"
#include "archive/Scheda.h"

#include <QFile>
#include <QString>

#include <functional>
#include <span>
#include <utility>

inline const QString NomeArchivio = QStringLiteral("Tesserati.pro");

class TArchivio {
public:
    // ApriArchivio: opens "Tesserati.pro" in the folder; throws ErroreFile on failure.
    explicit TArchivio(const QString &cartella);
    ~TArchivio();
    TArchivio(const TArchivio &) = delete;
    TArchivio &operator=(const TArchivio &) = delete;

    int NumeroSchede() const;
    TScheda LeggiScheda(int p);
    void ScriviScheda(int p, const TScheda &s);
    // Many records at their positions, then one wait for the disk: on disk when it returns.
    void ScriviSchede(std::span<const std::pair<int, TScheda>> schede);
    int AccodaScheda(const TScheda &s); // returns the new position
    void ChiudiArchivio();

    // Reads positions 1..count in large blocks and hands each record to the callback.
    // The callback returns false to stop the scan.
    void Scorri(const std::function<bool(int posizione, const TScheda &s)> &f);

    static QString Percorso(const QString &cartella);

private:
    void Scrivi(qint64 offset, const TScheda &s, bool attendi = true);
    [[noreturn]] void Fallisci(const QString &azione);

    QFile m_file;
};

// Program folder + position in decimal + ".jpg".
QString PercorsoFoto(const QString &cartella, int posizione);
