#include "import/Importa.h"

#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "archive/Impostazioni.h"
#include "archive/Testo.h"
#include "import/core/Foglio.h"
#include "import/core/ImportaAnteprima.h"
#include "import/core/Importazione.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "storage/DatiEnteFile.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Importazione;

namespace {

QString LetteraColonna(int c)
{
    QString s;
    for (++c; c > 0; c = (c - 1) / 26)
        s.prepend(QChar(u'A' + (c - 1) % 26));
    return s;
}

// Lines of the outcome shown in the list; the saved outcome has them all.
constexpr int MassimoLineeEsito = 1000;

// The mapping chosen for a set of headers, kept in "Quorvel.ini".
const QString SezioneColonne = QStringLiteral("Importazione colonne");

QString PercorsoIni()
{
    return QDir(Piattaforma::CartellaProgramma()).filePath(NomeFileIni);
}

QLineEdit *Casella(QWidget *parent, const char *nome, int larghezza)
{
    auto *t = new QLineEdit(parent);
    t->setObjectName(QString::fromLatin1(nome));
    t->setFixedWidth(larghezza);
    return t;
}

} // namespace

TfrmImporta::TfrmImporta(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmImporta"));
    setWindowTitle(QStringLiteral(" Importa tesserati"));
    setStyleSheet(Tavolozza::Colora(QStringLiteral(
        "TfrmImporta { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @Acciaio, "
        "stop:0.25 @Bianco); }"
        "QLabel#titImporta { color: @Bianco; font: bold 15pt 'Arial'; padding-left: 4px; }"
        "QLabel { color: @Blu; font: 10pt 'Arial'; }"
        "QLabel#lblFile { background: @Bianco; border: 1px solid @Acciaio; padding: 4px; }"
        "QPushButton { color: @Blu; font: bold 9pt 'Arial'; padding: 4px 14px; min-height: 20px; "
        "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @Bianco, stop:1 @Nebbia); "
        "border: 1px solid @Acciaio; border-radius: 4px; }"
        "QPushButton:disabled { color: @Nuvola; }"
        "QPushButton:focus { background: @Burro; }"
        "QTableWidget { background: @Bianco; alternate-background-color: @Perla; "
        "gridline-color: @Fiordaliso; selection-background-color: @Acciaio; }"
        "QHeaderView::section { background: @Blu; color: @Bianco; font: bold 9pt 'Arial'; "
        "padding: 3px; border: none; border-right: 1px solid @Acciaio; }"
        "QListWidget#lstEsito { background: @Bianco; border: 1px solid @Acciaio; }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(14, 10, 14, 12);
    colonna->setSpacing(8);

    auto *titolo = new QLabel(QStringLiteral("IMPORTA TESSERATI DA UN FOGLIO DI CALCOLO"), this);
    titolo->setObjectName(QStringLiteral("titImporta"));
    colonna->addWidget(titolo);

    auto *scelta = new QHBoxLayout;
    cmdScegli = Pulsante(this, "cmdScegli", QStringLiteral("Scegli il file..."));
    lblFile = new QLabel(this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setMinimumWidth(400);
    lblFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *etFoglio = new QLabel(QStringLiteral("Foglio:"), this);
    cboFoglio = new QComboBox(this);
    cboFoglio->setObjectName(QStringLiteral("cboFoglio"));
    cboFoglio->setMinimumWidth(180);
    scelta->addWidget(cmdScegli);
    scelta->addWidget(lblFile, 1);
    scelta->addWidget(etFoglio);
    scelta->addWidget(cboFoglio);
    txtRigaIntestazione = Casella(this, "txtRigaIntestazione", 50);
    txtRigaIntestazione->setValidator(new QIntValidator(1, 99999999, txtRigaIntestazione));
    txtRigaIntestazione->setToolTip(
        QStringLiteral("Numero della riga che contiene i nomi delle colonne: le righe sopra "
                       "di essa non sono importate."));
    scelta->addWidget(new QLabel(QStringLiteral("Riga d'intestazione:"), this));
    scelta->addWidget(txtRigaIntestazione);
    colonna->addLayout(scelta);

    auto *griglie = new QHBoxLayout;
    auto *sinistra = new QVBoxLayout;
    sinistra->addWidget(new QLabel(
        QStringLiteral("Anteprima (prime %1 righe del foglio):").arg(RigheAnteprima), this));
    grdAnteprima = new QTableWidget(this);
    grdAnteprima->setObjectName(QStringLiteral("grdAnteprima"));
    grdAnteprima->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdAnteprima->setAlternatingRowColors(true);
    grdAnteprima->verticalHeader()->setDefaultSectionSize(21);
    sinistra->addWidget(grdAnteprima);
    auto *destra = new QVBoxLayout;
    destra->addWidget(new QLabel(QStringLiteral("Colonne del file e campi della scheda:"), this));
    grdColonne = new QTableWidget(0, 2, this);
    grdColonne->setObjectName(QStringLiteral("grdColonne"));
    grdColonne->setHorizontalHeaderLabels(
        {QStringLiteral("Colonna del file"), QStringLiteral("Campo della scheda")});
    grdColonne->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdColonne->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grdColonne->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    grdColonne->setColumnWidth(1, 230);
    grdColonne->verticalHeader()->setDefaultSectionSize(26);
    grdColonne->setFixedWidth(440);
    destra->addWidget(grdColonne);
    lblTralasciate = new QLabel(this);
    lblTralasciate->setObjectName(QStringLiteral("lblTralasciate"));
    lblTralasciate->setWordWrap(true);
    lblTralasciate->setMaximumWidth(440);
    lblTralasciate->hide();
    destra->addWidget(lblTralasciate);
    griglie->addLayout(sinistra, 1);
    griglie->addLayout(destra);
    colonna->addLayout(griglie, 1);

    auto *date = new QHBoxLayout;
    txtRilascioPredefinito = Casella(this, "txtRilascioPredefinito", 90);
    txtScadenzaPredefinita = Casella(this, "txtScadenzaPredefinita", 90);
    txtRilascioPredefinito->setText(Testo::TestoData(Piattaforma::Oggi()));
    txtScadenzaPredefinita->setText(Testo::TestoData(Piattaforma::Oggi().addMonths(12)));
    date->addWidget(new QLabel(
        QStringLiteral("Per le righe senza date (lasciare vuoto per scartarle): rilascio"), this));
    date->addWidget(txtRilascioPredefinito);
    date->addWidget(new QLabel(QStringLiteral("scadenza"), this));
    date->addWidget(txtScadenzaPredefinita);
    date->addStretch();
    colonna->addLayout(date);

    auto *azioni = new QHBoxLayout;
    chkDoppi = new QCheckBox(
        QStringLiteral("Importa anche le righe già presenti in archivio (stessa tessera, "
                       "o stesso nome e data di nascita)"),
        this);
    chkDoppi->setObjectName(QStringLiteral("chkDoppi"));
    cmdProva = Pulsante(this, "cmdProva", QStringLiteral("Prova"));
    cmdProva->setToolTip(QStringLiteral("Controlla tutte le righe senza scrivere nulla."));
    cmdAvvia = Pulsante(this, "cmdAvvia", QStringLiteral("Importa"));
    cmdAvvia->setToolTip(QStringLiteral("Aggiunge all'archivio le righe valide."));
    azioni->addWidget(chkDoppi, 1);
    azioni->addWidget(cmdProva);
    azioni->addWidget(cmdAvvia);
    colonna->addLayout(azioni);

    auto *avanzamento = new QHBoxLayout;
    prgAvanzamento = new QProgressBar(this);
    prgAvanzamento->setObjectName(QStringLiteral("prgAvanzamento"));
    prgAvanzamento->setRange(0, 1);
    prgAvanzamento->setValue(0);
    prgAvanzamento->setTextVisible(true);
    prgAvanzamento->setFormat(QString());
    cmdAnnulla = Pulsante(this, "cmdAnnulla", QStringLiteral("Annulla"));
    avanzamento->addWidget(prgAvanzamento, 1);
    avanzamento->addWidget(cmdAnnulla);
    colonna->addLayout(avanzamento);

    colonna->addWidget(new QLabel(QStringLiteral("Esito:"), this));
    lstEsito = new QListWidget(this);
    lstEsito->setObjectName(QStringLiteral("lstEsito"));
    lstEsito->setFixedHeight(130);
    lstEsito->setWordWrap(true); // the summary may run past the width
    colonna->addWidget(lstEsito);

    auto *fondo = new QHBoxLayout;
    cmdSalvaEsito = Pulsante(this, "cmdSalvaEsito", QStringLiteral("Salva l'esito..."));
    cmdEsci = Pulsante(this, "cmdEsci", QStringLiteral("Chiudi"));
    cmdAnnullaImportazione =
        Pulsante(this, "cmdAnnullaImportazione", QStringLiteral("Annulla l'ultima importazione"));
    cmdAnnullaImportazione->setToolTip(
        QStringLiteral("Riporta l'archivio e le foto a com'erano prima dell'ultima "
                       "importazione, se da allora l'archivio non è stato modificato."));
    fondo->addWidget(cmdSalvaEsito);
    fondo->addWidget(cmdAnnullaImportazione);
    fondo->addStretch();
    fondo->addWidget(cmdEsci);
    colonna->addLayout(fondo);

    connect(cmdScegli, &QPushButton::clicked, this, &TfrmImporta::cmdScegliClick);
    connect(cboFoglio, &QComboBox::currentIndexChanged, this, &TfrmImporta::cboFoglioChange);
    connect(cmdProva, &QPushButton::clicked, this, &TfrmImporta::cmdProvaClick);
    connect(cmdAvvia, &QPushButton::clicked, this, &TfrmImporta::cmdAvviaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmImporta::cmdAnnullaClick);
    connect(cmdSalvaEsito, &QPushButton::clicked, this, &TfrmImporta::cmdSalvaEsitoClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmImporta::cmdEsciClick);
    connect(txtRigaIntestazione, &QLineEdit::editingFinished, this,
            &TfrmImporta::txtRigaIntestazioneChange);
    connect(cmdAnnullaImportazione, &QPushButton::clicked, this,
            &TfrmImporta::cmdAnnullaImportazioneClick);

    // Whole with its title bar on a 1280 x 720 laptop less its panel.
    setFixedSize(1000, 620);
    Occupato(false);
}

void TfrmImporta::Occupato(bool occupato)
{
    const bool pronto = !occupato && grdColonne->rowCount() > 0;
    cmdScegli->setEnabled(!occupato);
    cboFoglio->setEnabled(!occupato && cboFoglio->count() > 1);
    grdColonne->setEnabled(!occupato);
    chkDoppi->setEnabled(!occupato);
    cmdProva->setEnabled(pronto);
    cmdAvvia->setEnabled(pronto);
    cmdAnnulla->setEnabled(occupato);
    cmdSalvaEsito->setEnabled(!occupato && m_esito.has_value());
    cmdEsci->setEnabled(!occupato);
    txtRigaIntestazione->setEnabled(!occupato && grdAnteprima->rowCount() > 0);
    txtRilascioPredefinito->setEnabled(!occupato);
    txtScadenzaPredefinita->setEnabled(!occupato);
    cmdAnnullaImportazione->setEnabled(!occupato);
}

// The outcome kept whole for saving; the list shows its summary, then a line per row up
// to a bound.
void TfrmImporta::MostraEsito(const Esito &e)
{
    m_esito = e;
    lstEsito->addItem(e.Riepilogo());
    for (const Riga &riga : std::as_const(e.righe)) {
        if (lstEsito->count() > MassimoLineeEsito) {
            lstEsito->addItem(QStringLiteral("... e altre %1 righe: l'elenco completo è nell'esito "
                                             "salvato con \"Salva l'esito...\".")
                                  .arg(e.righe.size() - MassimoLineeEsito));
            break;
        }
        auto *voce = new QListWidgetItem(Esito::Linea(riga), lstEsito);
        voce->setForeground(riga.scartata ? QColor(0xB0, 0x1E, 0x2E) : QColor(0x8A, 0x5A, 0x00));
    }
}

void TfrmImporta::cmdScegliClick()
{
    const QString scelto = Piattaforma::ApriFile(
        this, QStringLiteral("Scegliere il foglio di calcolo da importare"),
        {QStringLiteral("Fogli di calcolo (*.csv *.txt *.xlsx *.ods *.xls)")});
    if (scelto.isEmpty())
        return;
    lblFile->setText(QFileInfo(scelto).absoluteFilePath());
    lblFile->setToolTip(lblFile->text());
    QStringList fogli;
    const QString errore = InSottofondo(QStringLiteral("Apertura del file..."), [&] {
        fogli = ApriFoglio(scelto, &m_condiviso.fermo)->Fogli();
    });
    if (!errore.isEmpty()) {
        lblFile->clear();
        fogli.clear();
        if (errore != Foglio::MessaggioAnnullato())
            Piattaforma::Avviso(errore, this);
    }
    {
        const QSignalBlocker blocco(cboFoglio);
        cboFoglio->clear();
        for (const QString &f : fogli)
            cboFoglio->addItem(f.isEmpty() ? QFileInfo(scelto).fileName() : f);
    }
    cboFoglioChange();
}

void TfrmImporta::cboFoglioChange()
{
    Anteprima(0);
}

void TfrmImporta::txtRigaIntestazioneChange()
{
    // Not while a reading runs: the box is then disabled, and may lose the focus.
    const int riga = txtRigaIntestazione->text().toInt();
    if (riga > 0 && riga != m_rigaIntestazione && txtRigaIntestazione->isEnabled())
        Anteprima(riga);
}

// Shows the first rows of the sheet, finds the header row (or takes the one given) and
// matches its columns by their names, or as they were matched last time for the same
// headers.
void TfrmImporta::Anteprima(int intestazione)
{
    // The old choices are deleted later: their names go now, so that the new ones are
    // the only ones by those names.
    for (int c = 0; c < grdColonne->rowCount(); ++c)
        if (QWidget *w = grdColonne->cellWidget(c, 1))
            w->setObjectName(QString());
    grdAnteprima->clear();
    grdAnteprima->setRowCount(0);
    grdAnteprima->setColumnCount(0);
    grdColonne->setRowCount(0);
    lstEsito->clear();
    m_esito.reset();
    lblTralasciate->hide();
    m_intestazioni.clear();
    m_rigaIntestazione = 0;
    Importazione::Anteprima a;
    if (!lblFile->text().isEmpty() && cboFoglio->currentIndex() >= 0) {
        const QString percorso = lblFile->text();
        const int foglio = cboFoglio->currentIndex();
        const QString errore = InSottofondo(QStringLiteral("Lettura dell'anteprima..."), [&] {
            a = LeggiAnteprima(percorso, foglio, RigheAnteprima, &m_condiviso.fermo);
        });
        if (!errore.isEmpty()) {
            a = Importazione::Anteprima();
            if (errore != Foglio::MessaggioAnnullato())
                Piattaforma::Avviso(errore, this);
        } else if (a.righe.isEmpty()) {
            Piattaforma::Avviso(Foglio::MessaggioVuoto(), this);
        } else if (a.righe.size() == 1) {
            Piattaforma::Avviso(Foglio::MessaggioSoloIntestazione(), this);
        }
    }
    const QList<QStringList> &righe = a.righe;
    const int colonne = int(a.colonne.size());
    QStringList numeri;
    for (int n : std::as_const(a.numeri))
        numeri << QString::number(n);
    grdAnteprima->setRowCount(int(righe.size()));
    grdAnteprima->setColumnCount(colonne);
    grdAnteprima->setVerticalHeaderLabels(numeri);
    QStringList lettere;
    for (int c : std::as_const(a.colonne))
        lettere << LetteraColonna(c);
    grdAnteprima->setHorizontalHeaderLabels(lettere);
    for (int r = 0; r < righe.size(); ++r)
        for (int c = 0; c < righe[r].size(); ++c)
            grdAnteprima->setItem(r, c, new QTableWidgetItem(righe[r][c]));
    if (a.tralasciate > 0) {
        lblTralasciate->setText(
            QStringLiteral("Sono mostrate le prime %1 colonne con dati: %2 colonne oltre "
                           "queste non sono mostrate e non vengono importate.")
                .arg(MassimoColonneAnteprima)
                .arg(a.tralasciate));
        lblTralasciate->show();
    }

    // The header: the row given by its number in the file, or the first that names fields.
    int indice = numeri.indexOf(QString::number(intestazione));
    if (indice < 0)
        indice = TrovaIntestazione(righe);
    {
        const QSignalBlocker blocco(txtRigaIntestazione);
        txtRigaIntestazione->setText(numeri.value(indice));
    }
    m_rigaIntestazione = numeri.value(indice).toInt();
    if (indice >= 0 && indice < righe.size())
        grdAnteprima->selectRow(indice);

    // One line per column of the header row, only when there are rows to import.
    if (indice + 1 < righe.size()) {
        QStringList intestazioni = righe[indice];
        while (intestazioni.size() < colonne)
            intestazioni.append(QString());
        m_intestazioni = intestazioni;
        QList<int> abbinate = Abbina(intestazioni);
        // The mapping chosen last time for the same headers, when it still fits.
        const QStringList ricordate = TFileIni(PercorsoIni())
                                          .Leggi(SezioneColonne, ChiaveIntestazioni(intestazioni))
                                          .split(u',', Qt::SkipEmptyParts);
        if (ricordate.size() == colonne)
            for (int c = 0; c < colonne; ++c)
                if (bool ok = false; !NomeDestinazione(ricordate[c].toInt(&ok)).isEmpty() && ok)
                    abbinate[c] = ricordate[c].toInt();
        grdColonne->setRowCount(colonne);
        for (int c = 0; c < colonne; ++c) {
            const QString testo =
                intestazioni[c].trimmed().isEmpty()
                    ? QStringLiteral("Colonna %1").arg(LetteraColonna(a.colonne[c]))
                    : intestazioni[c];
            auto *voce = new QTableWidgetItem(testo);
            voce->setData(Qt::UserRole, a.colonne[c]); // the column in the file
            grdColonne->setItem(c, 0, voce);
            auto *campo = new QComboBox(grdColonne);
            campo->setObjectName(QStringLiteral("cboCampo%1").arg(c + 1));
            for (const Voce &v : Destinazioni())
                campo->addItem(v.testo, v.destinazione);
            campo->setCurrentIndex(std::max(0, campo->findData(abbinate[c])));
            grdColonne->setCellWidget(c, 1, campo);
        }
    }
    Occupato(false);
}

void TfrmImporta::Esegui(bool scrivi)
{
    lstEsito->clear();
    m_esito.reset();
    Richiesta r;
    r.percorso = lblFile->text();
    r.foglio = cboFoglio->currentIndex();
    r.doppi = chkDoppi->isChecked();
    r.intestazione = m_rigaIntestazione;
    // The default dates: empty for none, else a real date.
    const std::pair<QLineEdit *, QDate *> predefinite[] = {{txtRilascioPredefinito, &r.rilascio},
                                                           {txtScadenzaPredefinita, &r.scadenza}};
    for (const auto &[casella, data] : predefinite) {
        const QString t = Testo::Trim32(casella->text());
        *data = DataDa(t);
        if (!t.isEmpty() && !data->isValid()) {
            Piattaforma::Avviso(QStringLiteral("Attenzione: la data %1 non esiste.").arg(t), this);
            casella->setFocus();
            return;
        }
    }
    QStringList scelte;
    for (int c = 0; c < grdColonne->rowCount(); ++c) {
        auto *campo = qobject_cast<QComboBox *>(grdColonne->cellWidget(c, 1));
        const QTableWidgetItem *voce = grdColonne->item(c, 0);
        const int colonna = voce ? voce->data(Qt::UserRole).toInt() : c;
        while (r.colonne.size() <= colonna) // the columns not shown are not imported
            r.colonne.append(int(Nessuna));
        r.colonne[colonna] = campo ? campo->currentData().toInt() : int(Nessuna);
        scelte << QString::number(r.colonne[colonna]);
    }
    // Remembered for the next file with the same headers; a settings file that cannot be
    // written only loses the memory, never the import.
    try {
        TFileIni ini(PercorsoIni());
        ini.Scrivi(SezioneColonne, ChiaveIntestazioni(m_intestazioni), scelte.join(u','));
    } catch (const ErroreFile &) {
    }
    r.annulla = &m_condiviso.fermo;
    lstEsito->clear();
    m_esito.reset();
    m_condiviso.fatti = 0;
    Esito e;
    const QString cartella = Piattaforma::CartellaProgramma();
    const QString errore = InSottofondo(QStringLiteral("Lettura delle righe..."), [&] {
        e = Importa(cartella, r, scrivi, [this](qint64 righe, qint64) {
            m_condiviso.fatti = righe;
            return !m_condiviso.fermo;
        });
    });
    if (!errore.isEmpty()) {
        Piattaforma::Errore(
            (scrivi ? QStringLiteral("Attenzione: l'importazione non è riuscita e l'archivio "
                                     "non è stato modificato.\n\r\n\r")
                    : QString()) +
                errore,
            this);
        return;
    }
    prgAvanzamento->setValue(e.annullata ? 0 : 1);
    prgAvanzamento->setFormat(e.annullata ? QStringLiteral("Annullata") : QStringLiteral("Fatto"));
    MostraEsito(e);
    Occupato(false);
    if (!scrivi)
        return;
    // These only inform: OK alone, nothing to cancel.
    if (e.annullata)
        Piattaforma::Messaggio(
            QStringLiteral("Importazione annullata: l'archivio non è stato modificato."), this);
    else
        Piattaforma::Messaggio(
            QStringLiteral("Importazione completata: %1 schede aggiunte all'archivio.")
                .arg(e.importate),
            this);
}

void TfrmImporta::cmdAnnullaImportazioneClick()
{
    if (!Piattaforma::Domanda(
            QStringLiteral("Annullare l'ultima importazione? Le schede importate e le loro "
                           "foto saranno tolte dall'archivio."),
            this))
        return;
    TDeposito::RipristinoImportazione r;
    try {
        r = ApriDeposito(Piattaforma::CartellaProgramma())->AnnullaUltimaImportazione();
    } catch (const ErroreFile &e) {
        r = {false, e.testo()};
    }
    if (r.riuscito)
        Piattaforma::Messaggio(r.testo, this);
    else
        Piattaforma::Avviso(r.testo, this);
}

void TfrmImporta::cmdProvaClick()
{
    Esegui(false);
}

void TfrmImporta::cmdAvviaClick()
{
    Esegui(true);
}

void TfrmImporta::cmdAnnullaClick()
{
    m_condiviso.fermo = true;
}

void TfrmImporta::cmdSalvaEsitoClick()
{
    if (!m_esito)
        return;
    const QString scelto =
        Piattaforma::SalvaFile(this, QStringLiteral("Salvare l'esito dell'importazione"),
                               QStringLiteral("Esito importazione.csv"),
                               QStringLiteral("File CSV (*.csv)"), QStringLiteral("csv"));
    if (scelto.isEmpty())
        return;
    QSaveFile file(scelto);
    if (!ApriInScrittura(file) || file.write(CsvEsito(m_esito->Riepilogo(), m_esito->righe)) < 0 ||
        !ConfermaFile(file))
        Piattaforma::Messaggio(
            QStringLiteral("Attenzione: il sistema non permette di salvare l'esito.\n\r\n\r"
                           "Accertarsi di possedere i privilegi di scrittura nella cartella "
                           "scelta."),
            this);
}

void TfrmImporta::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
}

void TfrmImporta::reject()
{
    if (cmdAnnulla->isEnabled()) {
        m_condiviso.fermo = true;
        return;
    }
    QDialog::reject();
}

void TfrmImporta::cmdEsciClick()
{
    close();
}
