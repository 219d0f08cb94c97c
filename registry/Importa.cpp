#include "registry/Importa.h"

#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "registry/Foglio.h"
#include "registry/ImportaAnteprima.h"
#include "registry/Importazione.h"
#include "widgets/Tavolozza.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>
#include <new>

using namespace Importazione;

namespace {

enum Ruolo { RuoloNumero = Qt::UserRole, RuoloScartata, RuoloMotivo };

QString LetteraColonna(int c)
{
    QString s;
    for (++c; c > 0; c = (c - 1) / 26)
        s.prepend(QChar(u'A' + (c - 1) % 26));
    return s;
}

// Lines of the outcome shown in the list; the saved outcome has them all.
constexpr int MassimoLineeEsito = 1000;

QString MessaggioMemoria()
{
    return QStringLiteral("Attenzione: memoria insufficiente per leggere il foglio di calcolo.");
}

// Calls its function when it goes out of scope, on every path.
class TAllUscita {
public:
    explicit TAllUscita(std::function<void()> f) : m_f(std::move(f)) {}
    ~TAllUscita() { m_f(); }
    TAllUscita(const TAllUscita &) = delete;
    TAllUscita &operator=(const TAllUscita &) = delete;

private:
    std::function<void()> m_f;
};

QPushButton *Bottone(QWidget *parent, const char *nome, const QString &testo)
{
    auto *b = new QPushButton(testo, parent);
    b->setObjectName(QString::fromLatin1(nome));
    b->setCursor(Qt::PointingHandCursor);
    b->setMinimumHeight(30);
    return b;
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
        "QPushButton { color: @Blu; font: bold 9pt 'Arial'; padding: 4px 14px; "
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
    cmdScegli = Bottone(this, "cmdScegli", QStringLiteral("Scegli il file..."));
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

    auto *azioni = new QHBoxLayout;
    chkDoppi = new QCheckBox(
        QStringLiteral("Importa anche le righe già presenti in archivio (stessa tessera, "
                       "o stesso nome e data di nascita)"),
        this);
    chkDoppi->setObjectName(QStringLiteral("chkDoppi"));
    cmdProva = Bottone(this, "cmdProva", QStringLiteral("Prova"));
    cmdProva->setToolTip(QStringLiteral("Controlla tutte le righe senza scrivere nulla."));
    cmdAvvia = Bottone(this, "cmdAvvia", QStringLiteral("Importa"));
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
    cmdAnnulla = Bottone(this, "cmdAnnulla", QStringLiteral("Annulla"));
    avanzamento->addWidget(prgAvanzamento, 1);
    avanzamento->addWidget(cmdAnnulla);
    colonna->addLayout(avanzamento);

    colonna->addWidget(new QLabel(QStringLiteral("Esito:"), this));
    lstEsito = new QListWidget(this);
    lstEsito->setObjectName(QStringLiteral("lstEsito"));
    lstEsito->setFixedHeight(130);
    colonna->addWidget(lstEsito);

    auto *fondo = new QHBoxLayout;
    cmdSalvaEsito = Bottone(this, "cmdSalvaEsito", QStringLiteral("Salva l'esito..."));
    cmdEsci = Bottone(this, "cmdEsci", QStringLiteral("Chiudi"));
    fondo->addWidget(cmdSalvaEsito);
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

    setFixedSize(1000, 660);
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
    cmdSalvaEsito->setEnabled(!occupato && lstEsito->count() > 0);
    cmdEsci->setEnabled(!occupato);
}

QString TfrmImporta::InSottofondo(const QString &testo, const std::function<void()> &lavoro)
{
    m_annulla = false;
    m_righeLette = 0;
    Occupato(true);
    prgAvanzamento->setRange(0, 0);
    prgAvanzamento->setFormat(testo);
    const TAllUscita ripristino([this] {
        prgAvanzamento->setRange(0, 1);
        prgAvanzamento->setValue(0);
        prgAvanzamento->setFormat(QString());
        Occupato(false);
    });
    QString errore;
    QEventLoop ciclo;
    std::unique_ptr<QThread> lavoratore(QThread::create([&lavoro, &errore] {
        try {
            lavoro();
        } catch (const ErroreFile &e) {
            errore = e.testo();
        } catch (const std::bad_alloc &) {
            errore = MessaggioMemoria();
        } catch (const std::exception &e) {
            errore = QString::fromLocal8Bit(e.what());
        }
    }));
    connect(lavoratore.get(), &QThread::finished, &ciclo, &QEventLoop::quit);
    // The count of the rows read, while they are read.
    QTimer conta;
    connect(&conta, &QTimer::timeout, this, [this] {
        if (m_righeLette > 0)
            prgAvanzamento->setFormat(QStringLiteral("%1 righe lette").arg(m_righeLette));
    });
    conta.start(100);
    // Started from the loop, so that what was already waiting (a press of Annulla) is
    // handled first.
    QTimer::singleShot(0, &ciclo, [&lavoratore] { lavoratore->start(); });
    ciclo.exec();
    lavoratore->wait();
    return errore;
}

// The summary, then a line per row up to a bound; all the rows are kept for saving.
void TfrmImporta::MostraEsito(const Esito &e)
{
    lstEsito->addItem(e.Riepilogo());
    m_righe = e.righe;
    for (const Riga &riga : std::as_const(e.righe)) {
        if (lstEsito->count() > MassimoLineeEsito) {
            lstEsito->addItem(QStringLiteral("... e altre %1 righe: l'elenco completo è nell'esito "
                                             "salvato con \"Salva l'esito...\".")
                                  .arg(e.righe.size() - MassimoLineeEsito));
            break;
        }
        auto *voce = new QListWidgetItem(Esito::Linea(riga), lstEsito);
        voce->setData(RuoloNumero, riga.numero);
        voce->setData(RuoloScartata, riga.scartata);
        voce->setData(RuoloMotivo, riga.motivo);
        voce->setForeground(riga.scartata ? QColor(0xB0, 0x1E, 0x2E) : QColor(0x8A, 0x5A, 0x00));
    }
}

void TfrmImporta::cmdScegliClick()
{
    const QString scelto =
        Piattaforma::ApriFile(this, QStringLiteral("Scegliere il foglio di calcolo da importare"),
                              {QStringLiteral("Fogli di calcolo (*.csv *.txt *.xlsx *.ods)")});
    if (scelto.isEmpty())
        return;
    lblFile->setText(QFileInfo(scelto).absoluteFilePath());
    lblFile->setToolTip(lblFile->text());
    QStringList fogli;
    const QString errore = InSottofondo(QStringLiteral("Apertura del file..."),
                                        [&] { fogli = ApriFoglio(scelto, &m_annulla)->Fogli(); });
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

// Shows the first rows of the sheet and matches its columns by their headers.
void TfrmImporta::cboFoglioChange()
{
    grdAnteprima->clear();
    grdAnteprima->setRowCount(0);
    grdAnteprima->setColumnCount(0);
    grdColonne->setRowCount(0);
    lstEsito->clear();
    m_righe.clear();
    lblTralasciate->hide();
    Anteprima a;
    if (!lblFile->text().isEmpty() && cboFoglio->currentIndex() >= 0) {
        const QString percorso = lblFile->text();
        const int foglio = cboFoglio->currentIndex();
        const QString errore = InSottofondo(QStringLiteral("Lettura dell'anteprima..."), [&] {
            a = LeggiAnteprima(percorso, foglio, RigheAnteprima, &m_annulla);
        });
        if (!errore.isEmpty()) {
            a = Anteprima();
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

    // One line per column of the header row, only when there are rows to import.
    if (righe.size() > 1) {
        QStringList intestazioni = righe.first();
        while (intestazioni.size() < colonne)
            intestazioni.append(QString());
        const QList<int> abbinate = Abbina(intestazioni);
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
    Richiesta r;
    r.percorso = lblFile->text();
    r.foglio = cboFoglio->currentIndex();
    r.doppi = chkDoppi->isChecked();
    for (int c = 0; c < grdColonne->rowCount(); ++c) {
        auto *campo = qobject_cast<QComboBox *>(grdColonne->cellWidget(c, 1));
        const QTableWidgetItem *voce = grdColonne->item(c, 0);
        const int colonna = voce ? voce->data(Qt::UserRole).toInt() : c;
        while (r.colonne.size() <= colonna) // the columns not shown are not imported
            r.colonne.append(int(Nessuna));
        r.colonne[colonna] = campo ? campo->currentData().toInt() : int(Nessuna);
    }
    r.annulla = &m_annulla;
    lstEsito->clear();
    m_righe.clear();
    m_righeLette = 0;
    Esito e;
    const QString cartella = Piattaforma::CartellaProgramma();
    const QString errore = InSottofondo(QStringLiteral("Lettura delle righe..."), [&] {
        e = Importa(cartella, r, scrivi, [this](int righe) {
            m_righeLette = righe;
            return !m_annulla;
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
    if (e.annullata)
        Piattaforma::Informazione(
            QStringLiteral("Importazione annullata: l'archivio non è stato modificato."), this);
    else
        Piattaforma::Informazione(
            QStringLiteral("Importazione completata: %1 schede aggiunte all'archivio.")
                .arg(e.importate),
            this);
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
    m_annulla = true;
}

void TfrmImporta::cmdSalvaEsitoClick()
{
    if (lstEsito->count() == 0)
        return;
    const QString scelto =
        Piattaforma::SalvaFile(this, QStringLiteral("Salvare l'esito dell'importazione"),
                               QStringLiteral("Esito importazione.csv"),
                               QStringLiteral("File CSV (*.csv)"), QStringLiteral("csv"));
    if (scelto.isEmpty())
        return;
    QSaveFile file(scelto);
    if (!ApriInScrittura(file) || file.write(CsvEsito(lstEsito->item(0)->text(), m_righe)) < 0 ||
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
        m_annulla = true;
        return;
    }
    QDialog::reject();
}

void TfrmImporta::cmdEsciClick()
{
    close();
}
