#include "registry/Compagni.h"

#include "registry/Anagrafica.h"

namespace Compagni {
void CaricaFoto(TfrmAnagrafica *) {}
void SalvaCopiaFoto(TfrmAnagrafica *) {}
void CancellaFoto(TfrmAnagrafica *) {}
void WebCam(TfrmAnagrafica *) {}
void ZoomFoto(TfrmAnagrafica *) {}
void Allegati(TfrmAnagrafica *) {}
void AvvisoScadenza(TfrmAnagrafica *) {}
void MailSemplice(TfrmAnagrafica *) {}
void ApriCalendario(TfrmAnagrafica *, const QString &) {}
} // namespace Compagni
