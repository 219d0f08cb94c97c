#pragma once
// The only place that talks to the desktop. Every service consults the active
// Simulazione (tests) first, so no test ever blocks on a person.
#include "platform/Messaggi.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QUrl>

#include <memory>

class QDialog;
class QPrinter;
class QWidget;
class QObject;
class SorgenteFotogrammi;

namespace Piattaforma {

void Avviso(const QString &testo, QWidget *owner = nullptr);
void Errore(const QString &testo, QWidget *owner = nullptr);
void Informazione(const QString &testo, QWidget *owner = nullptr);
void Messaggio(const QString &testo, QWidget *owner = nullptr);
// True for Yes.
bool Domanda(const QString &testo, QWidget *owner = nullptr);
// The Yes/No/Cancel question ("Sì", "No", "Annulla"); Escape and the close box answer
// Annulla.
Risposta DomandaAnnulla(const QString &testo, QWidget *owner = nullptr);
// The general error report: an error no handler caught, with its own text.
void ErroreGenerale(const QString &testo);

// Open dialog: title, file types ("JPEG (*.jpg)"), default extension.
// Returns the chosen path, or an empty text when cancelled.
QString ApriFile(QWidget *owner, const QString &titolo, const QStringList &tipi,
                 const QString &estensione = QString());
// Save dialog: title, preset name, one file type, default extension; asks before
// overwriting. Returns the chosen path, or an empty text when cancelled.
QString SalvaFile(QWidget *owner, const QString &titolo, const QString &nomeProposto,
                  const QString &tipo, const QString &estensione = QString());

// Shows a screen modally and returns its result; the one way screens open modal screens.
int MostraModale(QDialog *schermata);

// Shell open: hands a document path, web address or "mailto:" link (the first and
// last possibly in double quotes) to the desktop. Never through a shell command line.
// False when the desktop has no program for it.
bool Apri(const QString &sCommand);
// The URL the desktop receives for a shell-open text.
QUrl UrlDaComando(const QString &sCommand);

// Printers and the print dialog. DialogoStampa returns true when the user chose to print.
// With no printer installed it shows "You have no printers installed" and returns false.
QStringList Stampanti();
// The printer the system offers first; the first simulated one under the test seam.
QString StampantePredefinita();
bool DialogoStampa(QPrinter &stampante, QWidget *owner = nullptr, int pagine = 1);

// The folder of the data files (archive, photos, settings, logo, password file,
// attachments, export, lock): the folder of the executable when it can be written
// (a build, the portable archive), else the user's data folder (~/.local/share/Quorvel),
// created when missing. Chosen once per run.
QString CartellaProgramma();
// The folder of the executable: the installed files (Guida.pdf) are found from it.
QString CartellaEseguibile();
// The data folder for a program folder: itself when writable, else the user's data folder.
QString ScegliCartellaDati(const QString &eseguibile, bool scrivibile, const QString &utente);
QDate Oggi();
QTime Ora();

// The default camera, or a source that says it is unavailable.
std::unique_ptr<SorgenteFotogrammi> Fotocamera(QObject *parent = nullptr);

// Captions of the message forms.
QString TitoloForma(Forma f);

// ---- Door check
// Plays a short sound of the resources (":/..."), nothing on a computer without sound;
// under the test seam it is recorded in `suoni` instead.
void Suona(const QString &risorsa);

} // namespace Piattaforma
