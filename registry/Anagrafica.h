#pragma once
// Screen "Quorvel - Archivio Tesserati": one member record in 28 edit boxes, the
// cancelled mark, the hidden attachment labels, the position label and the photo.
// The controls are the record's only working copy; the position label says whether
// it is new (empty) or the record at that position of the archive.
#include "archive/Scheda.h"
#include "lists/Consegna.h"
#include "registry/RiceventeCompagni.h"
#include "registry/core/Scorrimento.h"
#include "storage/Deposito.h"

#include <QHash>
#include <QImage>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QImage;
class QComboBox;
class QLabel;
class QLineEdit;
class TImmagine;
class TReport;

class TfrmAnagrafica : public QWidget,
                       public TApritoreRicerca,
                       public TRiceventeScheda,
                       public TRiceventeCompagni {
    Q_OBJECT
public:
    explicit TfrmAnagrafica(QWidget *parent = nullptr);
    ~TfrmAnagrafica() override;

    // The search delivers to this screen under the mode word "anagrafica": the record
    // is shown as MostraScheda shows it.
    TRiceventeScheda *RiceventeScheda(const QString &modo) override;
    void RiceviScheda(const TScheda &scheda, int posizione) override;
    // What the webcam, the date picker and the attachment screen hand back.
    void RiceviFoto(const QImage &foto) override;
    void RiceviData(bool rilascio, const QString &data) override;
    void RiceviAllegati(const TAllegati &allegati) override;

    // For the companions' actions: the photo on screen, a photo to show (the blank
    // silhouette for a null image), the attachments, and the text and box of an edit
    // box of the table (drop-downs included).
    QImage Foto() const;
    void MostraFoto(const QImage &foto);
    TAllegati Allegati() const;
    QString Valore(const char *nome) const;
    QLineEdit *Riquadro(const char *nome) const;

    // The member sheet template, the screen's own copy (created on first use).
    TReport &RepScheda();

    // Reads position p from the archive, shows it and then its photo (the archive is
    // closed before the photo loads). An archive failure shows the access message and
    // leaves the screen as it was.
    void MostraScheda(int posizione);

    // Clears the screen for a new record: today as issue date, "0" days of notice,
    // the blank silhouette as photo, no position.
    void PulisciScheda();
    // The record built from the controls by the store rule.
    TScheda ComponiScheda() const;
    // Photo of the position on screen: load (blank silhouette when unreadable) and
    // store (true when stored, or unchanged since it was read and still there).
    void CaricaFotoScheda();
    bool SalvaFotoScheda();
    // The picture as the photo file holds it (white where transparent, quality 90); empty
    // when it cannot be encoded.
    static QByteArray Jpeg(const QImage &foto);

    // One line of the edit-box table: the box, its label, field, capacity and Enter target.
    struct Casella {
        const char *nome;
        const char *etichetta;
        Campo campo;
        const char *invio; // next box on Enter; nullptr for the date boxes
        enum class Regola { Libero, Data, Cifre, Maiuscolo, Rifilato, Sesso, Provincia } regola;
    };
    static const std::vector<Casella> &Caselle();
    // The 112 province codes offered by both drop-downs, in list order.
    static const QStringList &Province();
    // Title and body of this screen's help page.
    static QString TitoloGuida();
    static QString TestoGuida();

public slots:
    void FormMouseMove();
    void cmdNuovoClick();
    void cmdSalvaClick();
    void cmdTrovaClick();
    void cmdAllegaClick();
    void cmdAnteprimaClick();
    void cmdStampaClick();
    void cmdScaduteClick();
    void cmdRinnovaClick();
    void cmdPrimoClick();
    void cmdIndietroClick();
    void cmdAvantiClick();
    void cmdUltimoClick();
    void cmdExcelClick();
    void cmdImportaClick();
    void cmdGuidaClick();
    void cmdEsciClick();
    void cmdCodFiscClick();
    void cmdPartitaIvaClick();
    void cmdCartaClick();
    void cmdIbanClick();
    void cmdEmailClick();
    void btnEmailClick();
    void btnSfogliaClick();
    void btnWebcamClick();
    void btnSalvaFotoClick();
    void btnCancFotoClick();
    void btnZoomClick();
    void txtCodFiscTyping();
    void txtEmailTyping();
    void txtIbanTyping();
    void txtProvNascTyping();
    void txtProvResTyping();
    void txtSessoKeyUp();
    void txtProvNascCanFocus();
    void txtProvResCanFocus();
    void txtDataRilKeyDown(int tasto);
    void txtDataScadeKeyDown(int tasto);
    // ---- Fee register: the member's payments
    void cmdQuoteClick();

protected:
    void showEvent(QShowEvent *e) override;   // FormShow
    void closeEvent(QCloseEvent *e) override; // FormClose
    // Key rules of the digit boxes, the date boxes and the sex box.
    bool eventFilter(QObject *oggetto, QEvent *e) override;

private:
    void CreaControlli(); // FormCreate: builds the controls from the tables
    void CreaBarra(class QBoxLayout *colonna);
    QWidget *CreaSezione(const char *nome, const QString &titolo, bool sfondo);
    QWidget *CreaCella(const Casella &c, QWidget *sezione);
    QWidget *CreaFoto();
    void ApplicaRegole();

    // Browsing: one procedure for the four arrows.
    void Scorri(Scorrimento::Freccia freccia);
    // Everything but the photo; `versione` is the record's version as read.
    void MostraCampi(const TScheda &s, int posizione, qint64 versione);
    QImage FotoBianca() const;
    bool FiltroCifre(QWidget *box, class QKeyEvent *k);

    // Own controls by name, recorded at creation: a modal screen opened from here is
    // a child while shown and may hold controls of the same names.
    QWidget *Mio(const char *nome) const;
    QComboBox *Provincia(const char *nome) const;
    // The trimmed text of a box or drop-down, for the member sheet; throws when the
    // table has no such control.
    QString TestoScheda(const char *nome) const;
    void Imposta(const char *nome, const QString &testo);
    void Maiuscolo(QLineEdit *box, bool maiuscole);
    // Saves the record on screen; false when a check stopped it or the archive failed.
    bool Salva();
    // Marks the record on screen as changed since it was shown, cleared or saved last.
    void SegnaModifica();
    // Writes the record on screen over position p unless another desk saved it after this
    // one read it; then asks the user, naming who, when and which fields, and writes over
    // it only on Yes (asking again for a third writer). False on No: nothing written.
    bool ScriviSeInvariata(TDeposito &deposito, int p, const TScheda &s);
    // The conflict question: the fields whose captions are listed differ between the
    // record as read here and as saved by `da` at `il`.
    static QString DomandaConflitto(int posizione, const QString &da, const QDateTime &il,
                                    const QStringList &campi);
    // The captions, as the screen shows them, of the fields that differ between a and b.
    static QStringList CampiCambiati(const TScheda &a, const TScheda &b);

    QHash<QString, QWidget *> m_controlli;
    QLabel *m_panInfo = nullptr;
    QLabel *m_lblPosizione = nullptr;
    QCheckBox *m_chkAnnullata = nullptr;
    TImmagine *m_imgFoto = nullptr;
    TImmagine *m_imgBianco = nullptr;
    std::unique_ptr<TReport> m_repScheda;
    bool m_modificata = false; // unsaved changes on screen
    // The photo as read for the record on screen; none for a new record.
    std::optional<QImage> m_fotoLetta;
    // The record at the position on screen as read or saved last, and its version (0 on
    // the folder): what a save by another desk meanwhile is told by.
    TScheda m_schedaLetta;
    qint64 m_versione = 0;
};

// The member sheet template of the archive screen.
TReport &RepScheda(TfrmAnagrafica *anagrafica);

// Actions of the archive screen's companions (photo, webcam, zoom, attachments,
// reminder e-mail, date picker), in AnagraficaCompagni.cpp. Each acts on the archive
// screen through its methods.
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
