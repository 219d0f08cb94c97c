#pragma once
// What the test seam of the platform layer holds: what the services would have shown,
// and the answers queued for them. The services read it; Simulazione (for tests) makes
// it live.
#include "platform/Messaggi.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QUrl>

#include <functional>
#include <memory>

class QDialog;
class QObject;
class SorgenteFotogrammi;

class StatoSimulazione {
public:
    StatoSimulazione(const StatoSimulazione &) = delete;
    StatoSimulazione &operator=(const StatoSimulazione &) = delete;

    // The one that lives now, or nullptr outside tests.
    static StatoSimulazione *Attiva();

    struct Mostrato {
        Piattaforma::Forma forma;
        QString testo;
    };
    // Every message shown, in order.
    QList<Mostrato> messaggi;
    // Answers to Yes/No questions, in order; an unanswered question counts as No.
    QQueue<bool> risposte;
    // Answers to Yes/No/Cancel questions, in order; an unanswered one counts as Cancel.
    QQueue<Piattaforma::Risposta> risposteAnnulla;
    // Paths the next open/save dialogs return; an empty text or an empty queue cancels.
    QQueue<QString> fileDaAprire;
    QQueue<QString> fileDaSalvare;
    // Acts on each modal screen as a user would; it gets the screen already filled by
    // its opener. Without a handler the screen is closed at once with Rejected.
    std::function<void(QDialog *)> modale;
    QStringList modaliMostrati; // class names, in order
    // Texts handed to shell open, exactly, and the URLs built from them.
    QStringList aperti;
    QList<QUrl> urlAperti;
    bool aperturaFallisce = false; // the desktop has no program for what is opened
    // Printing: the installed printers, and where the next print goes.
    QStringList stampanti{QStringLiteral("PDF")};
    QString stampaSuPdf;        // path of the PDF the next confirmed print writes
    bool annullaStampa = false; // the print dialog answers Cancel
    int dialoghiStampa = 0;     // print dialogs shown
    QString cartella;           // the program folder, where the executable lies
    // The user's data folder; once set, the data go there when the program folder
    // cannot be written (cartellaScrivibile false, or no folder at that path).
    QString cartellaUtente;
    bool cartellaScrivibile = true;
    QDate oggi = QDate(2025, 6, 15);
    QTime ora = QTime(10, 30, 0);
    std::function<std::unique_ptr<SorgenteFotogrammi>(QObject *)> fotocamera;
    // The desktop's secret store: absent unless a test turns it on, never D-Bus.
    bool portachiavi = false;
    QMap<QString, QString> segreti;
    QStringList suoni; // sounds played (Suona), resource paths in order

    // The last message shown, or an empty text.
    QString UltimoMessaggio() const;
    Piattaforma::Forma UltimaForma() const;

protected:
    explicit StatoSimulazione(const QString &cartellaProgramma);
    ~StatoSimulazione();
};
