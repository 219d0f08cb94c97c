// The archive screen's controls: the edit-box table, the province list, the help page
// and the layout (toolbar, photo, five sections, status line).
#include "registry/Anagrafica.h"

#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSvgRenderer>
#include <QToolButton>
#include <QVBoxLayout>

using R = TfrmAnagrafica::Casella::Regola;

const std::vector<TfrmAnagrafica::Casella> &TfrmAnagrafica::Caselle()
{
    // In tab order; the Enter chain runs round from txtNote back to txtTesserato.
    static const std::vector<Casella> t = {
        {"txtTesserato", "Cognome e nome:", Campo::Tesserato, "txtCarica", R::Libero},
        {"txtCarica", "Carica ricoperta:", Campo::Carica, "txtNumTessera", R::Libero},
        {"txtNumTessera", "Tessera n.", Campo::NumTessera, "txtDataRil", R::Libero},
        {"txtDataRil", "Data rilascio:", Campo::DataRil, nullptr, R::Data},
        {"txtDataScade", "Data scadenza:", Campo::DataScade, nullptr, R::Data},
        {"txtDataNasc", "Data di nascita:", Campo::DataNasc, "txtComuneNasc", R::Libero},
        {"txtComuneNasc", "Comune di nascita:", Campo::ComuneNasc, "txtProvNasc", R::Libero},
        {"txtProvNasc", "Prov.", Campo::ProvNasc, "txtSesso", R::Provincia},
        {"txtSesso", "Sesso:", Campo::Sesso, "txtComuneRes", R::Sesso},
        {"txtComuneRes", "Comune di residenza:", Campo::ComuneRes, "txtProvRes", R::Libero},
        {"txtProvRes", "Prov.", Campo::ProvRes, "txtCapRes", R::Provincia},
        {"txtCapRes", "CAP:", Campo::CapRes, "txtIndirizzoRes", R::Libero},
        {"txtIndirizzoRes", "Via e numero civico:", Campo::IndirizzoRes, "txtPreavviso", R::Libero},
        {"txtPreavviso", "Giorni di preavviso:", Campo::Preavviso, "txtTitoli", R::Cifre},
        {"txtTitoli", "Titolo di studio e altre qualifiche:", Campo::Titoli, "txtTelCasa",
         R::Libero},
        {"txtTelCasa", "Tel. casa:", Campo::TelCasa, "txtTelUff", R::Libero},
        {"txtTelUff", "Tel. ufficio:", Campo::TelUff, "txtTelCel", R::Libero},
        {"txtTelCel", "Tel. cellulare:", Campo::TelCel, "txtRecapito", R::Libero},
        {"txtRecapito", "Recapito preferenziale:", Campo::Recapito, "txtFax", R::Libero},
        {"txtFax", "Fax:", Campo::Fax, "txtEmail", R::Libero},
        {"txtEmail", "E-mail:", Campo::Email, "txtCodFisc", R::Rifilato},
        {"txtCodFisc", "Codice fiscale:", Campo::CodFisc, "txtCarta", R::Maiuscolo},
        {"txtCarta", "Carta di credito n.", Campo::Carta, "txtScadeCarta", R::Cifre},
        {"txtScadeCarta", "Scadenza:", Campo::ScadeCarta, "txtPartitaIva", R::Libero},
        {"txtPartitaIva", "Partita IVA:", Campo::PartitaIva, "txtIban", R::Cifre},
        {"txtIban", "IBAN:", Campo::Iban, "txtIntestatario", R::Maiuscolo},
        {"txtIntestatario", "Intestatario C/C:", Campo::Intestatario, "txtNote", R::Libero},
        {"txtNote", "Note:", Campo::Note, "txtTesserato", R::Libero},
    };
    return t;
}

const QStringList &TfrmAnagrafica::Province()
{
    static const QStringList p =
        QStringLiteral(
            "AG AL AN AO AP AQ AR AT AV BA BG BI BL BN BO BR BS BT BZ CA CB CE CH CI CL CN CO CR "
            "CS CT CZ EE EN FC FE FG FI FM FO FR GE GO GR IM IS KR LC LE LI LO LT LU MB MC MD ME "
            "MI MN MO MS MT NA NO NU OG OR OT PA PC PD PE PG PI PN PO PR PT PU PV PZ RA RC RE RG "
            "RI RM RN RO SA SI SO SP SR SS SV TA TE TN TO TP TR TS TV UD VA VB VC VE VI VR VT VV")
            .split(u' ');
    return p;
}

QString TfrmAnagrafica::TitoloGuida()
{
    return QStringLiteral("Archivio Tesserati.");
}

QString TfrmAnagrafica::TestoGuida()
{
    static const char *const paragrafi[] = {
        "In questa schermata si gestisce l'archivio dei tesserati. Ogni scheda raccoglie i dati "
        "della tessera (cognome e nome, carica ricoperta, numero, data di rilascio e di "
        "scadenza), i dati anagrafici e di residenza, i recapiti telefonici, l'indirizzo "
        "e-mail, il codice fiscale, la partita IVA, i dati della carta di credito e del conto "
        "corrente, i titoli di studio, le note, la foto del tesserato e fino a tre documenti "
        "allegati.",
        "L'archivio può essere utilizzato anche come una comoda rubrica: dalla scheda è "
        "possibile inviare una e-mail al tesserato e controllare la correttezza del codice "
        "fiscale, della partita IVA, del numero di carta di credito e dell'IBAN con i pulsanti "
        "posti accanto a ciascun campo. Lo scopo principale dell'archivio resta comunque la "
        "conservazione dei dati necessari alla stampa delle tessere.",
        "Nel campo Giorni di preavviso si indica quanti giorni prima della scadenza la tessera "
        "deve essere segnalata come in attesa di rinnovo. Il pulsante Rinnovi della barra "
        "degli strumenti visualizza l'elenco delle tessere che sono entrate nel periodo di "
        "preavviso.",
        "Il pulsante Invia avviso scadenza prepara nel programma di posta elettronica un "
        "messaggio indirizzato al tesserato, con l'oggetto Rinnovo tessera e un testo già "
        "compilato con il numero della tessera e le date di rilascio e di scadenza. Il "
        "messaggio può essere modificato prima dell'invio.",
        "Per annullare una tessera è sufficiente spuntare la casella Tessera annullata e "
        "salvare la scheda. La scheda di una tessera annullata non compare più nei risultati "
        "delle ricerche, ma resta in archivio: è sempre visibile scorrendo le schede con le "
        "frecce ed è compresa nell'esportazione in Microsoft Excel.",
        "Per inserire una nuova scheda fare clic su Nuovo, compilare i campi, caricare la foto "
        "del tesserato e fare clic su Salva; il cognome e nome, la data di rilascio e la data "
        "di scadenza sono obbligatori. Per modificare una scheda esistente visualizzarla con "
        "le frecce di scorrimento o con la ricerca, apportare le modifiche e fare clic su "
        "Salva.",
        "Se al computer è collegata una webcam, il pulsante con l'icona della fotocamera apre "
        "una finestra in cui è possibile accendere la webcam, scattare la foto del tesserato e "
        "importarla nella scheda corrente.",
        "La foto viene adattata al riquadro mantenendo le proporzioni. Il pulsante in basso a "
        "sinistra della foto la visualizza a tutto schermo; il pulsante di salvataggio ne "
        "salva una copia su disco, che può essere ritoccata con un programma di grafica e poi "
        "ricaricata con Carica foto.",
        "Il pulsante Trova apre la ricerca delle schede in archivio: è possibile combinare più "
        "filtri (ad esempio cognome, comune e carica) per trovare rapidamente i tesserati "
        "desiderati e aprirne la scheda con un doppio clic.",
        "Con il pulsante Allega si possono allegare alla scheda fino a tre file di qualsiasi "
        "tipo (ad esempio la copia di un documento di identità), ciascuno con una breve "
        "descrizione; i file allegati possono essere aperti in qualsiasi momento con il "
        "programma associato.",
        "I pulsanti Anteprima e Stampa visualizzano o stampano la scheda informativa del "
        "tesserato corrente; il pulsante Excel esporta l'intero archivio in un file di "
        "Microsoft Excel.",
    };
    QStringList t;
    for (const char *p : paragrafi)
        t << QString::fromUtf8(p);
    return t.join(QStringLiteral("\r\n\r\n"));
}

namespace {

// A box with its highlight rectangle behind it, 4 units larger on each side.
class Cella : public QWidget {
public:
    Cella(QWidget *parent, QWidget *evidenza) : QWidget(parent), m_evidenza(evidenza)
    {
        evidenza->setParent(this);
        evidenza->lower();
    }

protected:
    void resizeEvent(QResizeEvent *e) override
    {
        m_evidenza->setGeometry(rect());
        QWidget::resizeEvent(e);
    }

private:
    QWidget *m_evidenza;
};

QIcon Icona(const QString &nome)
{
    return QIcon(QStringLiteral(":/registry/%1.svg").arg(nome));
}

QToolButton *Pulsante(QWidget *parent, const char *nome, const QString &icona, const QString &testo,
                      int lato)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(nome));
    b->setIcon(Icona(icona));
    b->setIconSize(QSize(lato, lato));
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    if (!testo.isEmpty()) {
        b->setText(testo);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setMinimumWidth(66);
    }
    return b;
}

} // namespace

QWidget *TfrmAnagrafica::CreaSezione(const char *nome, const QString &titolo, bool sfondo)
{
    auto *sezione = new QFrame(this);
    sezione->setObjectName(QString::fromLatin1(nome));
    sezione->setProperty("ruolo", QStringLiteral("sezione"));
    auto *colonna = new QVBoxLayout(sezione);
    colonna->setContentsMargins(10, 6, 10, 8);
    colonna->setSpacing(2);
    auto *tit = new QLabel(titolo, sezione);
    tit->setProperty("ruolo", QStringLiteral("titolo"));
    colonna->addWidget(tit);
    QWidget *corpo = sezione;
    if (sfondo) {
        // Sections 2 and 3 carry a tinted background panel of their own.
        auto *bkg = new QFrame(sezione);
        bkg->setObjectName(
            QString::fromLatin1(nome).replace(QStringLiteral("shp"), QStringLiteral("bkg")));
        bkg->setProperty("ruolo", QStringLiteral("sfondo"));
        colonna->addWidget(bkg);
        corpo = bkg;
    } else {
        auto *interno = new QWidget(sezione);
        colonna->addWidget(interno);
        corpo = interno;
    }
    auto *griglia = new QGridLayout(corpo);
    griglia->setContentsMargins(sfondo ? 6 : 0, 2, sfondo ? 6 : 0, 2);
    griglia->setHorizontalSpacing(6);
    griglia->setVerticalSpacing(0);
    colonna->addStretch();
    return corpo;
}

QWidget *TfrmAnagrafica::CreaCella(const Casella &c, QWidget *sezione)
{
    auto *eff = new QFrame;
    eff->setObjectName(QStringLiteral("eff") + QString::fromLatin1(c.nome + 3));
    eff->setProperty("ruolo", QStringLiteral("evidenza"));
    eff->hide();
    auto *cella = new Cella(sezione, eff);
    auto *riga = new QHBoxLayout(cella);
    riga->setContentsMargins(4, 4, 4, 4);
    riga->setSpacing(4);

    QWidget *box;
    if (c.regola == R::Provincia) {
        auto *cb = new QComboBox(cella);
        cb->setEditable(true);
        cb->setInsertPolicy(QComboBox::NoInsert);
        cb->addItems(Province());
        cb->setMaxVisibleItems(16);
        cb->setCurrentIndex(-1);
        cb->setMinimumWidth(64);
        cb->setMaximumWidth(80);
        box = cb;
    } else {
        auto *le = new QLineEdit(cella);
        if (c.regola == R::Data) {
            le->setReadOnly(true);
            le->setAlignment(Qt::AlignCenter);
        }
        box = le;
    }
    box->setObjectName(QString::fromLatin1(c.nome));
    riga->addWidget(box, 1);

    // The label above the box, aligned with the box's left edge.
    auto *etichetta = new QLabel(QString::fromUtf8(c.etichetta), sezione);
    etichetta->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(c.nome + 3));
    etichetta->setIndent(4);
    etichetta->setBuddy(box);
    return cella;
}

QWidget *TfrmAnagrafica::CreaFoto()
{
    auto *colonna = new QWidget(this);
    colonna->setObjectName(QStringLiteral("panFoto"));
    auto *v = new QVBoxLayout(colonna);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(6);

    auto *shpFoto = new QFrame(colonna);
    shpFoto->setObjectName(QStringLiteral("shpFoto"));
    shpFoto->setFixedSize(157 + 8, 174 + 8);
    m_imgFoto = new TImmagine(shpFoto);
    m_imgFoto->setObjectName(QStringLiteral("imgFoto"));
    m_imgFoto->setGeometry(4, 4, 157, 174);
    auto *zoom = Pulsante(m_imgFoto, "btnZoom", QStringLiteral("zoom"), QString(), 22);
    zoom->setGeometry(3, 174 - 29, 26, 26);
    auto *canc = Pulsante(m_imgFoto, "btnCancFoto", QStringLiteral("cancfoto"), QString(), 22);
    canc->setGeometry(157 - 29, 174 - 29, 26, 26);
    v->addWidget(shpFoto, 0, Qt::AlignHCenter);

    auto *riga = new QHBoxLayout;
    riga->setSpacing(4);
    auto *sfoglia = new QPushButton(QStringLiteral("Carica foto"), colonna);
    sfoglia->setObjectName(QStringLiteral("btnSfoglia"));
    sfoglia->setCursor(Qt::PointingHandCursor);
    sfoglia->setFocusPolicy(Qt::NoFocus);
    sfoglia->setMinimumHeight(30);
    riga->addWidget(sfoglia, 1);
    riga->addWidget(Pulsante(colonna, "btnWebcam", QStringLiteral("webcam"), QString(), 24));
    riga->addWidget(Pulsante(colonna, "btnSalvaFoto", QStringLiteral("salvafoto"), QString(), 24));
    v->addLayout(riga);

    m_chkAnnullata = new QCheckBox(QStringLiteral("Tessera annullata"), colonna);
    m_chkAnnullata->setObjectName(QStringLiteral("chkAnnullata"));
    m_chkAnnullata->setFont(QFont(QStringLiteral("Verdana"), 9, QFont::Bold));
    QPalette rosso = m_chkAnnullata->palette();
    rosso.setColor(QPalette::WindowText, QColor::fromRgb(Tavolozza::Cremisi));
    m_chkAnnullata->setPalette(rosso);
    v->addWidget(m_chkAnnullata);
    v->addStretch();

    // The blank silhouette, drawn at its own pixel size.
    m_imgBianco = new TImmagine(this);
    m_imgBianco->setObjectName(QStringLiteral("imgBianco"));
    m_imgBianco->setFixedSize(157, 174);
    m_imgBianco->SetPicture(
        DisegnaSvg(QStringLiteral(":/registry/bianco.svg"), QSize(157, 174), Qt::white));
    m_imgBianco->hide();
    return colonna;
}

void TfrmAnagrafica::CreaBarra(QBoxLayout *colonna)
{
    auto *barra = new QFrame(this);
    barra->setObjectName(QStringLiteral("panStrumenti"));
    auto *riga = new QHBoxLayout(barra);
    riga->setContentsMargins(10, 6, 10, 6);
    riga->setSpacing(8);

    struct Voce {
        const char *nome, *icona, *testo;
    };
    auto gruppo = [&](const char *nome, std::initializer_list<Voce> voci) {
        auto *g = new QFrame(barra);
        g->setObjectName(QString::fromLatin1(nome));
        g->setProperty("ruolo", QStringLiteral("gruppo"));
        auto *h = new QHBoxLayout(g);
        h->setContentsMargins(4, 2, 4, 2);
        h->setSpacing(2);
        for (const Voce &v : voci)
            h->addWidget(
                Pulsante(g, v.nome, QString::fromLatin1(v.icona), QString::fromUtf8(v.testo), 32));
        riga->addWidget(g);
        return g;
    };
    gruppo("shpRecord", {{"cmdNuovo", "nuovo", "Nuovo"},
                         {"cmdSalva", "salva", "Salva"},
                         {"cmdTrova", "trova", "Trova"}});
    gruppo("shpImporta", {{"cmdAllega", "allega", "Allega"}});
    gruppo("shpStampa",
           {{"cmdAnteprima", "anteprima", "Anteprima"}, {"cmdStampa", "stampa", "Stampa"}});
    gruppo("shpScadute", {{"cmdScadute", "scadute", "Rinnovi"},
                          {"cmdRinnova", "rinnova", "Rinnova"},
                          {"cmdQuote", "quote", "Quote"}});
    riga->addStretch();

    auto *frecce =
        gruppo("shpFrecce", {{"cmdPrimo", "primo", ""}, {"cmdIndietro", "indietro", ""}});
    m_lblPosizione = new QLabel(frecce);
    m_lblPosizione->setObjectName(QStringLiteral("lblPosizione"));
    m_lblPosizione->setAlignment(Qt::AlignCenter);
    // Wide enough for a position of 8 digits in the label's own font, which the
    // screen's style sheet gives it.
    m_lblPosizione->ensurePolished();
    m_lblPosizione->setFixedSize(
        std::max(84, m_lblPosizione->fontMetrics().horizontalAdvance(QString(8, u'0')) + 16), 30);
    auto *h = static_cast<QHBoxLayout *>(frecce->layout());
    h->addWidget(m_lblPosizione);
    h->addWidget(Pulsante(frecce, "cmdAvanti", QStringLiteral("avanti"), QString(), 32));
    h->addWidget(Pulsante(frecce, "cmdUltimo", QStringLiteral("ultimo"), QString(), 32));
    riga->addStretch();

    gruppo("shpExcel", {{"cmdImporta", "importa", "Importa"}, {"cmdExcel", "excel", "Excel"}});
    gruppo("shpInfo", {{"cmdGuida", "guida", "Guida"}});
    gruppo("shpEsci", {{"cmdEsci", "esci", "Esci"}});
    colonna->addWidget(barra);
}

void TfrmAnagrafica::CreaControlli()
{
    setStyleSheet(Tavolozza::Colora(QStringLiteral(R"(
        #panContainer { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                        stop:0 @Acciaio, stop:0.45 @Bianco); }
        #panStrumenti { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                        stop:0 @Bianco, stop:1 @Nebbia); border-bottom: 1px solid @Acciaio; }
        QFrame[ruolo="gruppo"] { border: 1px solid @Polvere; border-radius: 6px;
                                 background: rgba(255,255,255,0.6); }
        QToolButton { color: @Blu; font: bold 8pt "Verdana"; border-radius: 4px; }
        QToolButton:hover { background: @Paglia; }
        #lblPosizione { background: @Bianco; color: @Blu; border: 1px solid @Acciaio;
                        border-radius: 4px; font: bold 12pt "Verdana"; }
        #shpContainer { background: transparent; }
        QFrame[ruolo="sezione"] { background: @Bianco; border: 1px solid @Acciaio;
                                  border-radius: 8px; }
        QFrame[ruolo="sfondo"] { background: @Cielo; border: none; border-radius: 6px; }
        QFrame[ruolo="sezione"] QLabel { color: @Blu; font: bold 8pt "Verdana";
                                         border: none; background: transparent; }
        QFrame[ruolo="sezione"] QLabel[ruolo="titolo"] { color: @Cremisi; font: bold 10pt "Verdana"; }
        QFrame[ruolo="evidenza"] { background: @Giallo; border-radius: 3px;
            border: 2px solid qlineargradient(x1:0, y1:0, x2:0, y2:1,
                                              stop:0 @Oro, stop:1 @Bianco); }
        QLineEdit, QComboBox { font: 10pt "Verdana"; color: @Nero; background: @Bianco;
                               border: 1px solid @Ardesia; border-radius: 2px; padding: 1px 3px;
                               min-height: 20px; }
        QLineEdit[readOnly="true"] { background: @Ghiaccio; font-weight: bold; }
        #shpFoto { border: 4px solid qlineargradient(x1:0, y1:0, x2:1, y2:1,
                   stop:0 @Nero, stop:1 @Bianco); background: @Bianco; }
        #btnSfoglia, #btnEmail { font: bold 8pt "Verdana"; color: @Blu; padding: 4px 10px; }
        QComboBox::drop-down { border: none; width: 18px; }
        QComboBox::down-arrow { image: url(:/registry/giu.svg); width: 10px; height: 10px; }
        #panInfo { background: @Blu; color: @Bianco; font: 12pt "Tahoma"; padding: 2px 10px; }
    )")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(0, 0, 0, 0);
    colonna->setSpacing(0);
    CreaBarra(colonna);

    auto *container = new QFrame(this);
    container->setObjectName(QStringLiteral("panContainer"));
    colonna->addWidget(container, 1);
    auto *centro = new QVBoxLayout(container);
    centro->setContentsMargins(12, 10, 12, 10);
    centro->addStretch(1);
    auto *shpContainer = new QFrame(container);
    shpContainer->setObjectName(QStringLiteral("shpContainer"));
    shpContainer->setMaximumWidth(1560);
    auto *riga = new QHBoxLayout;
    riga->addStretch(1);
    riga->addWidget(shpContainer, 100);
    riga->addStretch(1);
    centro->addLayout(riga);
    centro->addStretch(2);
    shpContainer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    auto *v = new QVBoxLayout(shpContainer);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(10);
    auto *rigaA = new QHBoxLayout;
    auto *rigaB = new QHBoxLayout;
    rigaA->setSpacing(10);
    rigaB->setSpacing(10);
    v->addLayout(rigaA);
    v->addLayout(rigaB);

    struct Sezione {
        const char *nome;
        const char *titolo;
        bool sfondo;
        QHBoxLayout *riga;
        int peso;
    };
    const Sezione sezioni[] = {
        {"shpSezione01", "Dati della tessera", false, rigaA, 5},
        {"shpSezione02", "Dati anagrafici e residenza", true, rigaA, 6},
        {"shpSezione03", "Recapiti", true, rigaB, 1},
        {"shpSezione04", "Dati fiscali e bancari", false, rigaB, 1},
        {"shpSezione05", "Titoli e note", false, rigaB, 1},
    };
    rigaA->addWidget(CreaFoto());
    QWidget *corpi[5];
    for (int i = 0; i < 5; ++i) {
        corpi[i] =
            CreaSezione(sezioni[i].nome, QString::fromUtf8(sezioni[i].titolo), sezioni[i].sfondo);
        sezioni[i].riga->addWidget(corpi[i]->parentWidget(), sezioni[i].peso);
    }

    // Where each box sits: section, row, column, column span (label above the box).
    struct Posto {
        const char *nome;
        int sezione, riga, col, span;
    };
    static const Posto posti[] = {
        {"txtTesserato", 0, 0, 0, 4},    {"txtCarica", 0, 1, 0, 4},
        {"txtNumTessera", 0, 2, 0, 2},   {"txtPreavviso", 0, 2, 2, 2},
        {"txtDataRil", 0, 3, 0, 2},      {"txtDataScade", 0, 3, 2, 2},
        {"txtDataNasc", 1, 0, 0, 2},     {"txtSesso", 1, 0, 2, 1},
        {"txtComuneNasc", 1, 1, 0, 3},   {"txtProvNasc", 1, 1, 3, 1},
        {"txtComuneRes", 1, 2, 0, 3},    {"txtProvRes", 1, 2, 3, 1},
        {"txtIndirizzoRes", 1, 3, 0, 3}, {"txtCapRes", 1, 3, 3, 1},
        {"txtTelCasa", 2, 0, 0, 1},      {"txtTelUff", 2, 0, 1, 1},
        {"txtTelCel", 2, 0, 2, 1},       {"txtRecapito", 2, 1, 0, 2},
        {"txtFax", 2, 1, 2, 1},          {"txtEmail", 2, 2, 0, 2},
        {"txtCodFisc", 3, 0, 0, 1},      {"txtPartitaIva", 3, 0, 1, 1},
        {"txtCarta", 3, 1, 0, 1},        {"txtScadeCarta", 3, 1, 1, 1},
        {"txtIban", 3, 2, 0, 2},         {"txtIntestatario", 3, 3, 0, 2},
        {"txtTitoli", 4, 0, 0, 1},       {"txtNote", 4, 1, 0, 1},
    };
    // The buttons that sit inside a box's cell, right of the box.
    struct Accanto {
        const char *box, *nome, *icona;
    };
    static const Accanto accanto[] = {
        {"txtEmail", "cmdEmail", "email"},
        {"txtCodFisc", "cmdCodFisc", "controlla"},
        {"txtPartitaIva", "cmdPartitaIva", "controlla"},
        {"txtCarta", "cmdCarta", "controlla"},
        {"txtIban", "cmdIban", "controlla"},
    };

    for (const Casella &c : Caselle()) {
        const Posto *posto = nullptr;
        for (const Posto &p : posti)
            if (qstrcmp(p.nome, c.nome) == 0)
                posto = &p;
        Q_ASSERT(posto);
        QWidget *corpo = corpi[posto->sezione];
        auto *griglia = static_cast<QGridLayout *>(corpo->layout());
        QWidget *cella = CreaCella(c, corpo);
        auto *etichetta =
            corpo->findChild<QLabel *>(QStringLiteral("lbl") + QString::fromLatin1(c.nome + 3));
        griglia->addWidget(etichetta, posto->riga * 2, posto->col, 1, posto->span);
        griglia->addWidget(cella, posto->riga * 2 + 1, posto->col, 1, posto->span);
        for (const Accanto &a : accanto)
            if (qstrcmp(a.box, c.nome) == 0)
                static_cast<QHBoxLayout *>(cella->layout())
                    ->addWidget(
                        Pulsante(cella, a.nome, QString::fromLatin1(a.icona), QString(), 20));
    }
    // The reminder button beside the e-mail box.
    auto *avviso = new QPushButton(QStringLiteral("Invia avviso scadenza"), corpi[2]);
    avviso->setObjectName(QStringLiteral("btnEmail"));
    avviso->setCursor(Qt::PointingHandCursor);
    avviso->setFocusPolicy(Qt::NoFocus);
    static_cast<QGridLayout *>(corpi[2]->layout())->addWidget(avviso, 5, 2);

    // Columns of equal share inside each section.
    for (QWidget *corpo : corpi) {
        auto *g = static_cast<QGridLayout *>(corpo->layout());
        for (int col = 0; col < g->columnCount(); ++col)
            g->setColumnStretch(col, 1);
    }
    static_cast<QGridLayout *>(corpi[1]->layout())->setColumnStretch(3, 0);

    // The attachment labels hold record data but are never shown.
    for (const char *nome :
         {"lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03"}) {
        auto *l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(nome));
        l->hide();
    }

    m_panInfo = new QLabel(QStringLiteral("Pronto per archiviare una nuova scheda..."), this);
    m_panInfo->setObjectName(QStringLiteral("panInfo"));
    m_panInfo->setFixedHeight(30);
    colonna->addWidget(m_panInfo);
}
