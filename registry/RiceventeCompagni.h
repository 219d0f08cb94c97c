#pragma once
// What the archive screen's companion screens (webcam, date picker, attachments) hand
// back to the screen that opened them: typed values, written by the receiver into its
// own controls.
#include <QImage>
#include <QString>

#include <array>

// One attachment: the file name in the attachment folder and its description.
struct TAllegato {
    QString file;
    QString descrizione;
};
using TAllegati = std::array<TAllegato, 3>;

class TRiceventeCompagni {
public:
    virtual ~TRiceventeCompagni() = default;
    // The photo captured by the webcam.
    virtual void RiceviFoto(const QImage &foto) = 0;
    // The date picked for the issue date (`rilascio`) or the expiry date, "dd/MM/yyyy".
    virtual void RiceviData(bool rilascio, const QString &data) = 0;
    // The three attachments as the attachment screen holds them, trimmed.
    virtual void RiceviAllegati(const TAllegati &allegati) = 0;
};
