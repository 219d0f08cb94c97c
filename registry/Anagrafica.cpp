#include "registry/Anagrafica.h"

#include "archive/Testo.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "report/core/Report.h"
#include "storage/Deposito.h"
#include "widgets/ConsiglioArchivio.h"
#include "widgets/Controlli.h"
#include "widgets/Navigazione.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QShowEvent>

#include <memory>

using Testo::Trim32;
using R = TfrmAnagrafica::Casella::Regola;

namespace {

const QString MessaggioAccessoCartella = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del "
    "programma.");

const QString MessaggioFotoCartella = QStringLiteral(
    "Attenzione: non è stato possibile salvare la foto del tesserato.\n\r\n\r"
    "La scheda è stata salvata, ma la foto resta soltanto sullo schermo. Accertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma e "
    "salvare di nuovo la scheda.");

// The messages with the advice of the folder or of the server.
QString MessaggioAccesso()
{
    return ConsiglioArchivio::Adatta(MessaggioAccessoCartella);
}
QString MessaggioFoto()
{
    return ConsiglioArchivio::Adatta(MessaggioFotoCartella);
}

// Hints of the status line, by control.
struct Suggerimento {
    const char *nome;
    const char *testo;
};
const Suggerimento suggerimenti[] = {
    {"cmdNuovo", "Predispone la schermata per l'inserimento di una nuova scheda."},
    {"cmdSalva", "Salva la scheda corrente in archivio."},
    {"cmdTrova", "Trova una scheda in archivio."},
    {"cmdAllega", "Allega file alla scheda corrente."},
    {"cmdAnteprima", "Visualizza l'anteprima di stampa."},
    {"cmdStampa", "Stampa la scheda corrente."},
    {"cmdScadute", "Visualizza l'elenco delle tessere in attesa di rinnovo."},
    {"cmdRinnova", "Rinnova la tessera della scheda corrente e registra la quota pagata."},
    {"cmdQuote", "Visualizza le quote versate dal tesserato e le sue ricevute."},
    {"cmdPrimo", "Visualizza la prima scheda in archivio."},
    {"cmdIndietro", "Visualizza la scheda precedente in archivio."},
    {"cmdAvanti", "Visualizza la scheda successiva in archivio."},
    {"cmdUltimo", "Visualizza l'ultima scheda in archivio."},
    {"cmdExcel", "Esporta le schede in archivio in un file di Microsoft Excel."},
    {"cmdImporta", "Importa i tesserati da un foglio di calcolo (CSV, XLSX o ODS)."},
    {"cmdGuida", "Visualizza la pagina della guida sensibile al contesto."},
    {"cmdEsci", "Esci da questa schermata di lavoro."},
    {"cmdCodFisc", "Controlla il codice fiscale."},
    {"cmdPartitaIva", "Controlla il numero di partita IVA."},
    {"cmdCarta", "Controlla il numero di carta di credito."},
    {"cmdIban", "Controlla l'IBAN."},
    {"cmdEmail", "Invia una e-mail all'indirizzo indicato."},
    {"btnEmail", "Invia e-mail con avviso scadenza."},
    {"btnSfoglia", "Carica la foto del tesserato dal tuo disco fisso."},
    {"btnWebcam", "Scatta la foto del tesserato con la tua WebCam."},
    {"btnSalvaFoto", "Salva una copia della foto su disco."},
    {"btnCancFoto", "Cancella la foto corrente."},
    {"btnZoom", "Visualizza la foto a tutto schermo."},
    {"chkAnnullata",
     "Contrassegna la tessera come annullata per escluderla dai risultati di ricerca."},
    {"txtDataRil", "Premi un tasto qualsiasi per importare una data dal calendario."},
    {"txtDataScade", "Premi un tasto qualsiasi per importare una data dal calendario."},
};

// The background areas whose mouse move empties the status line.
const char *const sfondi[] = {
    "panContainer", "shpContainer", "shpSezione01", "shpSezione02", "shpSezione03",
    "shpSezione04", "shpSezione05", "shpEsci",      "shpExcel",     "shpFrecce",
    "shpStampa",    "shpImporta",   "shpRecord",    "shpScadute",   "shpInfo",
    "shpFoto",      "bkgSezione02", "bkgSezione03", "imgFoto",
};

const char *const allegati[] = {"lblFile01", "lblFile02", "lblFile03",
                                "lblDesc01", "lblDesc02", "lblDesc03"};
const char *const *const allegatiFile = allegati;
const char *const *const allegatiDesc = allegati + 3;
const Campo campiAllegati[] = {Campo::File01, Campo::File02, Campo::File03,
                               Campo::Desc01, Campo::Desc02, Campo::Desc03};

} // namespace

TfrmAnagrafica::TfrmAnagrafica(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAnagrafica"));
    setWindowTitle(QStringLiteral(" Quorvel - Archivio Tesserati"));
    CreaControlli();
    for (QWidget *w : findChildren<QWidget *>())
        if (!w->objectName().isEmpty() && !m_controlli.contains(w->objectName()))
            m_controlli.insert(w->objectName(), w);
    ApplicaRegole();
    Finestra::Massimizzata(this);
}

TfrmAnagrafica::~TfrmAnagrafica()
{
    // Children still send signals while QWidget's destructor deletes them (a drop-down
    // reports its text when its box loses the focus): none may reach this screen then.
    for (QObject *figlio : findChildren<QObject *>())
        QObject::disconnect(figlio, nullptr, this, nullptr);
}

QWidget *TfrmAnagrafica::Mio(const char *nome) const
{
    return m_controlli.value(QString::fromLatin1(nome));
}

QLineEdit *TfrmAnagrafica::Riquadro(const char *nome) const
{
    return qobject_cast<QLineEdit *>(Mio(nome));
}

QComboBox *TfrmAnagrafica::Provincia(const char *nome) const
{
    return qobject_cast<QComboBox *>(Mio(nome));
}

QString TfrmAnagrafica::Valore(const char *nome) const
{
    if (QComboBox *cb = Provincia(nome))
        return cb->currentText();
    return Riquadro(nome)->text();
}

void TfrmAnagrafica::Imposta(const char *nome, const QString &testo)
{
    if (QComboBox *cb = Provincia(nome)) {
        cb->setCurrentIndex(-1);
        cb->setEditText(testo);
    } else {
        Riquadro(nome)->setText(testo);
    }
}

void TfrmAnagrafica::ApplicaRegole()
{
    for (const Casella &c : Caselle()) {
        QWidget *box = Mio(c.nome);
        QWidget *eff = m_controlli.value(QStringLiteral("eff") + QString::fromLatin1(c.nome + 3));
        Comportamenti::Evidenza(box, eff);
        const int capacita = Definizione(c.campo).capacita;
        QLineEdit *le = c.regola == R::Provincia ? Provincia(c.nome)->lineEdit() : Riquadro(c.nome);
        le->setMaxLength(capacita);
        switch (c.regola) {
        case R::Libero:
        case R::Rifilato:
        case R::Maiuscolo:
            Comportamenti::Invio(box, Mio(c.invio));
            break;
        case R::Provincia:
            Comportamenti::Invio(box, Mio(c.invio));
            box->installEventFilter(this); // list selection reset on focus
            break;
        case R::Sesso:
            Comportamenti::Invio(box, Mio(c.invio));
            box->installEventFilter(this); // key release
            break;
        case R::Cifre:
            // Keys are filtered as they go down; the validator also refuses pasted text.
            le->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), le));
            box->installEventFilter(this);
            break;
        case R::Data:
            box->installEventFilter(this);
            break;
        }
    }
    // Tab runs through the boxes in table order, then the cancelled mark.
    QWidget *prima = nullptr;
    for (const Casella &c : Caselle()) {
        if (prima)
            setTabOrder(prima, Mio(c.nome));
        prima = Mio(c.nome);
    }
    setTabOrder(prima, m_chkAnnullata);

    connect(Riquadro("txtCodFisc"), &QLineEdit::textEdited, this,
            &TfrmAnagrafica::txtCodFiscTyping);
    connect(Riquadro("txtIban"), &QLineEdit::textEdited, this, &TfrmAnagrafica::txtIbanTyping);
    connect(Riquadro("txtEmail"), &QLineEdit::textEdited, this, &TfrmAnagrafica::txtEmailTyping);
    connect(Provincia("txtProvNasc")->lineEdit(), &QLineEdit::textEdited, this,
            &TfrmAnagrafica::txtProvNascTyping);
    connect(Provincia("txtProvRes")->lineEdit(), &QLineEdit::textEdited, this,
            &TfrmAnagrafica::txtProvResTyping);

    // Any edit of a box, a drop-down or the cancelled mark leaves unsaved changes. A
    // drop-down counts what is typed or picked: its text is set again on focus.
    for (const Casella &c : Caselle()) {
        if (QComboBox *cb = Provincia(c.nome)) {
            connect(cb->lineEdit(), &QLineEdit::textEdited, this, &TfrmAnagrafica::SegnaModifica);
            connect(cb, &QComboBox::activated, this, &TfrmAnagrafica::SegnaModifica);
        } else {
            connect(Riquadro(c.nome), &QLineEdit::textChanged, this,
                    &TfrmAnagrafica::SegnaModifica);
        }
    }
    connect(m_chkAnnullata, &QCheckBox::toggled, this, &TfrmAnagrafica::SegnaModifica);

    for (const Suggerimento &s : suggerimenti)
        Comportamenti::Suggerimento(Mio(s.nome), m_panInfo, QString::fromUtf8(s.testo));
    // Only a mouse move over the background empties the line: the window opening under
    // the pointer leaves the greeting in place.
    QList<QWidget *> aree{this};
    for (const char *nome : sfondi)
        aree << Mio(nome);
    for (QWidget *area : aree) {
        area->setMouseTracking(true);
        area->setProperty("svuotaInfo", true);
        area->installEventFilter(this);
    }

    struct Azione {
        const char *nome;
        void (TfrmAnagrafica::*slot)();
    };
    const Azione azioni[] = {
        {"cmdNuovo", &TfrmAnagrafica::cmdNuovoClick},
        {"cmdSalva", &TfrmAnagrafica::cmdSalvaClick},
        {"cmdTrova", &TfrmAnagrafica::cmdTrovaClick},
        {"cmdAllega", &TfrmAnagrafica::cmdAllegaClick},
        {"cmdAnteprima", &TfrmAnagrafica::cmdAnteprimaClick},
        {"cmdStampa", &TfrmAnagrafica::cmdStampaClick},
        {"cmdScadute", &TfrmAnagrafica::cmdScaduteClick},
        {"cmdRinnova", &TfrmAnagrafica::cmdRinnovaClick},
        {"cmdQuote", &TfrmAnagrafica::cmdQuoteClick},
        {"cmdPrimo", &TfrmAnagrafica::cmdPrimoClick},
        {"cmdIndietro", &TfrmAnagrafica::cmdIndietroClick},
        {"cmdAvanti", &TfrmAnagrafica::cmdAvantiClick},
        {"cmdUltimo", &TfrmAnagrafica::cmdUltimoClick},
        {"cmdExcel", &TfrmAnagrafica::cmdExcelClick},
        {"cmdImporta", &TfrmAnagrafica::cmdImportaClick},
        {"cmdGuida", &TfrmAnagrafica::cmdGuidaClick},
        {"cmdEsci", &TfrmAnagrafica::cmdEsciClick},
        {"cmdCodFisc", &TfrmAnagrafica::cmdCodFiscClick},
        {"cmdPartitaIva", &TfrmAnagrafica::cmdPartitaIvaClick},
        {"cmdCarta", &TfrmAnagrafica::cmdCartaClick},
        {"cmdIban", &TfrmAnagrafica::cmdIbanClick},
        {"cmdEmail", &TfrmAnagrafica::cmdEmailClick},
        {"btnEmail", &TfrmAnagrafica::btnEmailClick},
        {"btnSfoglia", &TfrmAnagrafica::btnSfogliaClick},
        {"btnWebcam", &TfrmAnagrafica::btnWebcamClick},
        {"btnSalvaFoto", &TfrmAnagrafica::btnSalvaFotoClick},
        {"btnCancFoto", &TfrmAnagrafica::btnCancFotoClick},
        {"btnZoom", &TfrmAnagrafica::btnZoomClick},
    };
    for (const Azione &a : azioni)
        connect(qobject_cast<QAbstractButton *>(Mio(a.nome)), &QAbstractButton::clicked, this,
                a.slot);
}

// ---- Record on screen -----------------------------------------------------------------

QImage TfrmAnagrafica::FotoBianca() const
{
    return m_imgBianco->Picture();
}

void TfrmAnagrafica::PulisciScheda()
{
    for (const Casella &c : Caselle())
        Imposta(c.nome, QString());
    Riquadro("txtDataRil")->setText(Testo::TestoData(Piattaforma::Oggi()));
    Riquadro("txtPreavviso")->setText(QStringLiteral("0"));
    m_chkAnnullata->setChecked(false);
    for (const char *nome : allegati)
        qobject_cast<QLabel *>(Mio(nome))->clear();
    m_imgFoto->SetPicture(FotoBianca());
    m_fotoLetta.reset();
    m_lblPosizione->clear();
    m_modificata = false;
}

void TfrmAnagrafica::SegnaModifica()
{
    m_modificata = true;
}

TScheda TfrmAnagrafica::ComponiScheda() const
{
    TScheda s;
    for (const Casella &c : Caselle())
        s.Scrivi(c.campo, Valore(c.nome));
    s.Scrivi(Campo::Annullata, m_chkAnnullata->isChecked() ? AnnullataSi : AnnullataNo);
    for (int i = 0; i < 6; ++i)
        s.Scrivi(campiAllegati[i], qobject_cast<QLabel *>(Mio(allegati[i]))->text());
    return s;
}

void TfrmAnagrafica::MostraCampi(const TScheda &s, int posizione, qint64 versione)
{
    for (const Casella &c : Caselle())
        Imposta(c.nome, s.Leggi(c.campo));
    const QString annullata = s.Leggi(Campo::Annullata);
    if (annullata == AnnullataSi)
        m_chkAnnullata->setChecked(true);
    else if (annullata == AnnullataNo)
        m_chkAnnullata->setChecked(false);
    for (int i = 0; i < 6; ++i)
        qobject_cast<QLabel *>(Mio(allegati[i]))->setText(s.Leggi(campiAllegati[i]));
    m_lblPosizione->setText(QString::number(posizione));
    m_schedaLetta = s;
    m_versione = versione;
    m_modificata = false;
}

void TfrmAnagrafica::MostraScheda(int posizione)
{
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        const TDeposito::TSchedaLetta letta = deposito->LeggiSchedaConVersione(posizione);
        MostraCampi(letta.scheda, posizione, letta.versione);
        deposito->ChiudiArchivio();
    } catch (const ErroreFile &) {
        Piattaforma::Errore(MessaggioAccesso(), this);
        return;
    }
    CaricaFotoScheda();
}

// ---- New and save ---------------------------------------------------------------------

void TfrmAnagrafica::cmdNuovoClick()
{
    PulisciScheda();
    Riquadro("txtTesserato")->setFocus(Qt::OtherFocusReason);
}

void TfrmAnagrafica::cmdSalvaClick()
{
    Salva();
}

bool TfrmAnagrafica::Salva()
{
    using Piattaforma::Forma;
    auto ferma = [this](Forma forma, const QString &testo, const char *fuoco) {
        if (forma == Forma::Avviso)
            Piattaforma::Avviso(testo, this);
        else
            Piattaforma::Messaggio(testo, this);
        Riquadro(fuoco)->setFocus(Qt::OtherFocusReason);
        return false;
    };
    const QString fineData = QStringLiteral(
        " non esiste.\n\r\n\rPer poter salvare la scheda è necessario indicare una data valida "
        "nel formato gg/mm/aaaa.");
    const QString rilascio = Valore("txtDataRil");
    const QString scadenza = Valore("txtDataScade");

    if (Trim32(Valore("txtTesserato")).isEmpty())
        return ferma(Forma::Avviso,
                     QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il "
                                    "nome del tesserato."),
                     "txtTesserato");
    if (Trim32(rilascio).isEmpty())
        return ferma(Forma::Avviso,
                     QStringLiteral("Attenzione: per salvare la scheda è necessario indicare la "
                                    "data di rilascio del tesserino."),
                     "txtDataRil");
    if (Trim32(scadenza).isEmpty())
        return ferma(Forma::Avviso,
                     QStringLiteral("Attenzione: per salvare la scheda è necessario indicare la "
                                    "data di scadenza del tesserino."),
                     "txtDataScade");
    if (!Testo::DataValida(rilascio))
        return ferma(Forma::Messaggio,
                     QStringLiteral("Attenzione: la data di rilascio della tessera ") +
                         Trim32(rilascio) + fineData,
                     "txtDataRil");
    if (!Testo::DataValida(scadenza))
        return ferma(Forma::Messaggio,
                     QStringLiteral("Attenzione: la data di scadenza della tessera ") +
                         Trim32(scadenza) + fineData,
                     "txtDataScade");
    if (Testo::ConvertiData(rilascio) > Testo::ConvertiData(scadenza))
        return ferma(Forma::Messaggio,
                     QStringLiteral("Attenzione: la data di scadenza (") + Trim32(scadenza) +
                         QStringLiteral(") non può essere anteriore a quella di rilascio della "
                                        "tessera (") +
                         Trim32(rilascio) + QStringLiteral(")."),
                     "txtDataScade");
    if (Trim32(Valore("txtPreavviso")).isEmpty())
        return ferma(Forma::Avviso,
                     QStringLiteral("Attenzione: per salvare la scheda è necessario indicare i "
                                    "giorni di preavviso."),
                     "txtPreavviso");

    bool sovrascritta = false;
    std::optional<bool> fotoSalvata; // whether the new record's photo went in with it
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        const TScheda s = ComponiScheda();
        const QString etichetta = Trim32(m_lblPosizione->text());
        int p;
        if (!etichetta.isEmpty()) {
            p = etichetta.toInt(); // not a number: position 0, refused by the archive
            if (!ScriviSeInvariata(*deposito, p, s))
                return false; // the user chose not to save: the edits stay on screen
            sovrascritta = true;
        } else {
            // A photo chosen for the new record goes in with it; the placeholder follows
            // the rules of SalvaFotoScheda, which never lets it replace an unreadable photo.
            const QImage &schermo = m_imgFoto->Picture();
            const bool bianca = schermo.isNull() || schermo == FotoBianca();
            const QByteArray jpeg = bianca ? QByteArray() : Jpeg(schermo);
            bool scritta = false;
            p = deposito->AccodaSchedaConFoto(s, jpeg, &scritta);
            m_fotoLetta.reset(); // a photo left at the new position is not the member's
            if (!jpeg.isEmpty()) {
                fotoSalvata = scritta;
                if (scritta)
                    m_fotoLetta = schermo;
            }
            m_schedaLetta = s;
            m_versione = 0;
            // The version the new record got; the record is saved whatever this read does
            // (a later save then asks before writing over it).
            try {
                const TDeposito::TSchedaLetta letta = deposito->LeggiSchedaConVersione(p);
                m_schedaLetta = letta.scheda;
                m_versione = letta.versione;
            } catch (const ErroreFile &) {
            }
        }
        m_lblPosizione->setText(QString::number(p));
        deposito->ChiudiArchivio();
    } catch (const ErroreFile &e) {
        // On the server the failure says that the record was not saved, and why.
        if (ConsiglioArchivio::SulServer())
            Piattaforma::Errore(QStringLiteral("Attenzione: la scheda non è stata salvata in "
                                               "archivio.\n\r\n\r") +
                                    e.testo() + QStringLiteral("\n\r\n\r") +
                                    ConsiglioArchivio::Server + u'.',
                                this);
        else
            Piattaforma::Errore(MessaggioAccessoCartella, this);
        return false;
    }
    // The record is saved either way; a photo that could not be written stays on screen,
    // still a change to save, and the user is told, so it is not lost silently.
    m_modificata = !(fotoSalvata ? *fotoSalvata : SalvaFotoScheda());
    if (m_modificata)
        Piattaforma::Avviso(MessaggioFoto(), this);
    Piattaforma::Informazione(
        sovrascritta ? QStringLiteral("Le modifiche apportate alla scheda corrente sono state "
                                      "salvate in archivio.")
                     : QStringLiteral("La scheda corrente è stata inserita in archivio."),
        this);
    return true;
}

// ---- Browsing -------------------------------------------------------------------------

void TfrmAnagrafica::Scorri(Scorrimento::Freccia freccia)
{
    Scorrimento::Decisione d;
    try {
        const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
        d = Scorrimento::Decidi(deposito->NumeroSchede(), m_lblPosizione->text(), freccia);
        if (d.svuotaPosizione)
            m_lblPosizione->clear();
        if (d.destinazione > 0) {
            const TDeposito::TSchedaLetta letta = deposito->LeggiSchedaConVersione(d.destinazione);
            MostraCampi(letta.scheda, d.destinazione, letta.versione);
        }
        deposito->ChiudiArchivio();
    } catch (const ErroreFile &) {
        Piattaforma::Errore(MessaggioAccesso(), this);
        return;
    }
    if (d.destinazione > 0)
        CaricaFotoScheda();
    if (d.archivioVuoto)
        Piattaforma::Informazione(Scorrimento::MessaggioVuoto(), this);
}

void TfrmAnagrafica::cmdPrimoClick()
{
    Scorri(Scorrimento::Freccia::Primo);
}
void TfrmAnagrafica::cmdIndietroClick()
{
    Scorri(Scorrimento::Freccia::Indietro);
}
void TfrmAnagrafica::cmdAvantiClick()
{
    Scorri(Scorrimento::Freccia::Avanti);
}
void TfrmAnagrafica::cmdUltimoClick()
{
    Scorri(Scorrimento::Freccia::Ultimo);
}

// ---- Pictures, dates and attachments handed back --------------------------------------

void TfrmAnagrafica::RiceviFoto(const QImage &foto)
{
    m_imgFoto->SetPicture(foto);
    SegnaModifica();
}

void TfrmAnagrafica::RiceviData(bool rilascio, const QString &data)
{
    Riquadro(rilascio ? "txtDataRil" : "txtDataScade")->setText(data);
}

void TfrmAnagrafica::RiceviAllegati(const TAllegati &allegati)
{
    for (size_t i = 0; i < allegati.size(); ++i) {
        qobject_cast<QLabel *>(Mio(allegatiFile[i]))->setText(allegati[i].file);
        qobject_cast<QLabel *>(Mio(allegatiDesc[i]))->setText(allegati[i].descrizione);
    }
    SegnaModifica();
}

TAllegati TfrmAnagrafica::Allegati() const
{
    TAllegati a;
    for (size_t i = 0; i < a.size(); ++i)
        a[i] = {Trim32(qobject_cast<QLabel *>(Mio(allegatiFile[i]))->text()),
                Trim32(qobject_cast<QLabel *>(Mio(allegatiDesc[i]))->text())};
    return a;
}

QImage TfrmAnagrafica::Foto() const
{
    return m_imgFoto->Picture();
}

void TfrmAnagrafica::MostraFoto(const QImage &foto)
{
    m_imgFoto->SetPicture(foto.isNull() ? FotoBianca() : foto);
    SegnaModifica();
}

// ---- Showing and closing --------------------------------------------------------------

void TfrmAnagrafica::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // A window restored from the task bar keeps its record; only an opening clears it.
    if (!e->spontaneous()) {
        PulisciScheda();
        Riquadro("txtTesserato")->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmAnagrafica::closeEvent(QCloseEvent *e)
{
    // Unsaved changes are kept, dropped or saved as the user answers; Annulla, or a save
    // that a check stops, keeps the screen open.
    if (m_modificata) {
        const auto risposta = Piattaforma::DomandaAnnulla(
            QStringLiteral("Salvare le modifiche apportate alla scheda corrente prima di "
                           "uscire?"),
            this);
        if (risposta == Piattaforma::Risposta::Annulla ||
            (risposta == Piattaforma::Risposta::Si && !Salva())) {
            e->ignore();
            return;
        }
        m_modificata = false;
    }
    Navigazione::TornaAllAvvio();
    e->accept(); // hidden, not destroyed
}

void TfrmAnagrafica::cmdEsciClick()
{
    close();
}
