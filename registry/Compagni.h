#pragma once
// Actions of the archive screen's companions (photo, webcam, zoom, attachments,
// reminder e-mail, date picker). Each acts on the archive screen's named controls.
#include <QString>

class TfrmAnagrafica;

namespace Compagni {
void CaricaFoto(TfrmAnagrafica *a);     // btnSfogliaClick
void SalvaCopiaFoto(TfrmAnagrafica *a); // btnSalvaFotoClick
void CancellaFoto(TfrmAnagrafica *a);   // btnCancFotoClick
void WebCam(TfrmAnagrafica *a);         // btnWebcamClick
void ZoomFoto(TfrmAnagrafica *a);       // btnZoomClick
void Allegati(TfrmAnagrafica *a);       // cmdAllegaClick
void AvvisoScadenza(TfrmAnagrafica *a); // btnEmailClick
void MailSemplice(TfrmAnagrafica *a);   // cmdEmailClick
// Date key rule: opens the date picker for the box named by the target word
// ("dataril" or "datascade").
void ApriCalendario(TfrmAnagrafica *a, const QString &parola);
// The reminder link as handed to the desktop, before the double quotes.
QString TestoAvvisoScadenza(const QString &email, const QString &tesserato,
                            const QString &numTessera, const QString &dataRil,
                            const QString &dataScade);
} // namespace Compagni
