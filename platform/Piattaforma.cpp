#include "platform/Piattaforma.h"

#include "archive/FileSicuro.h"
#include "platform/Fotocamera.h"
#include "platform/ModuloMultimedia.h"
#include "platform/SorgenteFotogrammi.h"
#include "platform/StatoSimulazione.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>

namespace Piattaforma {

namespace {
StatoSimulazione *Sim()
{
    return StatoSimulazione::Attiva();
}

void Registra(Forma f, const QString &testo)
{
    Sim()->messaggi.append({f, testo});
}

QWidget *Proprietario(QWidget *owner)
{
    return owner ? owner : QApplication::activeWindow();
}

// One message box with Italian buttons; returns the button pressed.
QMessageBox::StandardButton Mostra(Forma f, const QString &testo, QWidget *owner)
{
    QMessageBox box(Proprietario(owner));
    box.setWindowTitle(TitoloForma(f));
    box.setText(testo);
    switch (f) {
    case Forma::Avviso:
        box.setIcon(QMessageBox::Warning);
        break;
    case Forma::Errore:
    case Forma::ErroreGenerale:
        box.setIcon(QMessageBox::Critical);
        break;
    case Forma::Informazione:
        box.setIcon(QMessageBox::Information);
        break;
    case Forma::Domanda:
    case Forma::DomandaAnnulla:
        box.setIcon(QMessageBox::Question);
        break;
    case Forma::Messaggio:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    if (f == Forma::Domanda) {
        box.addButton(QMessageBox::Yes)->setText(QStringLiteral("S\u00EC"));
        box.addButton(QMessageBox::No)->setText(QStringLiteral("No"));
        box.setDefaultButton(QMessageBox::Yes);
    } else if (f == Forma::DomandaAnnulla) {
        box.addButton(QMessageBox::Yes)->setText(QStringLiteral("S\u00EC"));
        box.addButton(QMessageBox::No)->setText(QStringLiteral("No"));
        box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (f == Forma::Messaggio || f == Forma::ErroreGenerale) {
        box.addButton(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    } else {
        box.addButton(QMessageBox::Ok)->setText(QStringLiteral("OK"));
        box.addButton(QMessageBox::Cancel)->setText(QStringLiteral("Annulla"));
    }
    box.exec();
    return box.standardButton(box.clickedButton());
}

void Notifica(Forma f, const QString &testo, QWidget *owner)
{
    if (Sim()) {
        Registra(f, testo);
        return;
    }
    Mostra(f, testo, owner);
}

// Percent-encodes a value of a mail link so that it arrives whole.
QByteArray Codifica(const QString &valore)
{
    return QUrl::toPercentEncoding(valore);
}

QUrl UrlMail(const QString &resto)
{
    // resto: address, then optionally "?subject=S" and "&body=B".
    QString indirizzo = resto, oggetto, corpo;
    bool haOggetto = false, haCorpo = false;
    const QString marcaOggetto = QStringLiteral("?subject=");
    const QString marcaCorpo = QStringLiteral("&body=");
    const qsizetype q = resto.indexOf(marcaOggetto);
    if (q >= 0) {
        indirizzo = resto.left(q);
        const QString query = resto.mid(q + marcaOggetto.size());
        const qsizetype b = query.indexOf(marcaCorpo);
        haOggetto = true;
        oggetto = b < 0 ? query : query.left(b);
        if (b >= 0) {
            haCorpo = true;
            corpo = query.mid(b + marcaCorpo.size());
        }
    }
    // Without a subject the whole text is the address: its "?" and "&" are its own.
    QByteArray url = "mailto:" + QUrl::toPercentEncoding(indirizzo, "@");
    if (haOggetto)
        url += "?subject=" + Codifica(oggetto);
    if (haCorpo)
        url += "&body=" + Codifica(corpo);
    return QUrl::fromEncoded(url, QUrl::StrictMode);
}
} // namespace

QString TitoloForma(Forma f)
{
    switch (f) {
    case Forma::Avviso:
        return QStringLiteral("Attenzione");
    case Forma::Errore:
    case Forma::ErroreGenerale:
        return QStringLiteral("Errore");
    case Forma::Informazione:
        return QStringLiteral("Informazione");
    case Forma::Domanda:
    case Forma::DomandaAnnulla:
        return QStringLiteral("Conferma");
    case Forma::Messaggio:
        break;
    }
    return QStringLiteral("Quorvel");
}

void Avviso(const QString &testo, QWidget *owner)
{
    Notifica(Forma::Avviso, testo, owner);
}
void Errore(const QString &testo, QWidget *owner)
{
    Notifica(Forma::Errore, testo, owner);
}
void Informazione(const QString &testo, QWidget *owner)
{
    Notifica(Forma::Informazione, testo, owner);
}
void Messaggio(const QString &testo, QWidget *owner)
{
    Notifica(Forma::Messaggio, testo, owner);
}
void ErroreGenerale(const QString &testo)
{
    Notifica(Forma::ErroreGenerale, testo, nullptr);
}

bool Domanda(const QString &testo, QWidget *owner)
{
    if (Sim()) {
        Registra(Forma::Domanda, testo);
        return Sim()->risposte.isEmpty() ? false : Sim()->risposte.dequeue();
    }
    return Mostra(Forma::Domanda, testo, owner) == QMessageBox::Yes;
}

Risposta DomandaAnnulla(const QString &testo, QWidget *owner)
{
    if (Sim()) {
        Registra(Forma::DomandaAnnulla, testo);
        return Sim()->risposteAnnulla.isEmpty() ? Risposta::Annulla
                                                : Sim()->risposteAnnulla.dequeue();
    }
    switch (Mostra(Forma::DomandaAnnulla, testo, owner)) {
    case QMessageBox::Yes:
        return Risposta::Si;
    case QMessageBox::No:
        return Risposta::No;
    default:
        return Risposta::Annulla;
    }
}

QString ApriFile(QWidget *owner, const QString &titolo, const QStringList &tipi,
                 const QString &estensione)
{
    if (Sim())
        return Sim()->fileDaAprire.isEmpty() ? QString() : Sim()->fileDaAprire.dequeue();
    QFileDialog dlg(Proprietario(owner), titolo);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters(tipi);
    dlg.setDefaultSuffix(estensione);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

QString SalvaFile(QWidget *owner, const QString &titolo, const QString &nomeProposto,
                  const QString &tipo, const QString &estensione)
{
    if (Sim())
        return Sim()->fileDaSalvare.isEmpty() ? QString() : Sim()->fileDaSalvare.dequeue();
    QFileDialog dlg(Proprietario(owner), titolo);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilter(tipo);
    dlg.setDefaultSuffix(estensione);
    dlg.selectFile(nomeProposto);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

int MostraModale(QDialog *schermata)
{
    if (!Sim())
        return schermata->exec();
    Sim()->modaliMostrati.append(QString::fromLatin1(schermata->metaObject()->className()));
    schermata->setResult(QDialog::Rejected);
    schermata->show();
    if (Sim()->modale)
        Sim()->modale(schermata);
    if (schermata->isVisible())
        schermata->reject();
    return schermata->result();
}

QUrl UrlDaComando(const QString &sCommand)
{
    QString t = sCommand;
    if (t.size() >= 2 && t.startsWith(u'"') && t.endsWith(u'"'))
        t = t.mid(1, t.size() - 2);
    if (t.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive))
        return UrlMail(t.mid(7));
    const QUrl url(t, QUrl::TolerantMode);
    const QString schema = url.scheme().toLower();
    if (schema == u"http" || schema == u"https" || schema == u"ftp" || schema == u"file")
        return url;
    return QUrl::fromLocalFile(t);
}

bool Apri(const QString &sCommand)
{
    const QUrl url = UrlDaComando(sCommand);
    if (Sim()) {
        Sim()->aperti.append(sCommand);
        Sim()->urlAperti.append(url);
        return !Sim()->aperturaFallisce;
    }
    return QDesktopServices::openUrl(url);
}

QStringList Stampanti()
{
    if (Sim())
        return Sim()->stampanti;
    return QPrinterInfo::availablePrinterNames();
}

QString StampantePredefinita()
{
    if (Sim())
        return Sim()->stampanti.isEmpty() ? QString() : Sim()->stampanti.constFirst();
    return QPrinterInfo::defaultPrinterName();
}

bool DialogoStampa(QPrinter &stampante, QWidget *owner, int pagine)
{
    if (Stampanti().isEmpty()) {
        Messaggio(QStringLiteral("You have no printers installed"), owner);
        return false;
    }
    if (Sim()) {
        ++Sim()->dialoghiStampa;
        if (Sim()->annullaStampa || Sim()->stampaSuPdf.isEmpty())
            return false;
        stampante.setOutputFormat(QPrinter::PdfFormat);
        stampante.setOutputFileName(Sim()->stampaSuPdf);
        return true;
    }
    const QString predefinita = QPrinterInfo::defaultPrinterName();
    if (!predefinita.isEmpty() && stampante.outputFormat() == QPrinter::NativeFormat &&
        stampante.printerName().isEmpty())
        stampante.setPrinterName(predefinita);
    QPrintDialog dlg(&stampante, Proprietario(owner));
    dlg.setMinMax(1, qMax(1, pagine));
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dlg.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    return dlg.exec() == QDialog::Accepted;
}

QString ScegliCartellaDati(const QString &eseguibile, bool scrivibile, const QString &utente)
{
    // A path that is not a folder (a file in its place) cannot hold the data either, and
    // the system's folders of commands never do, not even for root.
    static const QStringList sistema = {QStringLiteral("/usr/bin"), QStringLiteral("/bin"),
                                        QStringLiteral("/usr/local/bin"),
                                        QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")};
    const QFileInfo info(eseguibile);
    if (scrivibile && info.isDir() && info.isWritable() &&
        !sistema.contains(QDir::cleanPath(eseguibile)))
        return eseguibile;
    CreaCartella(utente);
    return utente;
}

QString CartellaProgramma()
{
    if (Sim()) {
        if (Sim()->cartellaUtente.isEmpty())
            return Sim()->cartella;
        return ScegliCartellaDati(Sim()->cartella, Sim()->cartellaScrivibile,
                                  Sim()->cartellaUtente);
    }
    static const QString cartella =
        ScegliCartellaDati(QCoreApplication::applicationDirPath(), true,
                           QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return cartella;
}

QString CartellaEseguibile()
{
    if (Sim())
        return Sim()->cartella;
    return QCoreApplication::applicationDirPath();
}

QDate Oggi()
{
    if (Sim())
        return Sim()->oggi;
    return QDate::currentDate();
}

QTime Ora()
{
    if (Sim())
        return Sim()->ora;
    return QTime::currentTime();
}

std::unique_ptr<SorgenteFotogrammi> Fotocamera(QObject *parent)
{
    if (Sim()) {
        if (Sim()->fotocamera)
            return Sim()->fotocamera(parent);
        return std::make_unique<SorgenteManuale>(false, parent);
    }
    return CreaFotocameraPredefinita(parent);
}

void Suona(const QString &risorsa)
{
    if (Sim()) {
        Sim()->suoni.append(risorsa);
        return;
    }
    if (const TModuloMultimedia *modulo = ModuloMultimedia())
        modulo->suona(risorsa);
}

} // namespace Piattaforma
