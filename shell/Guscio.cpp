#include "shell/Guscio.h"

#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace Guscio {

QImage Disegno(const QString &risorsa, QSize dimensione)
{
    QImage img = DisegnaSvg(risorsa, dimensione * 2);
    if (!img.isNull())
        img.setDevicePixelRatio(2.0);
    return img;
}

QFrame *PannelloPassword(QWidget *schermata, QRect sfondo)
{
    auto *esterno = new QVBoxLayout(schermata);
    esterno->setContentsMargins(0, 0, 0, 0);
    auto *pan = new QFrame(schermata);
    pan->setObjectName(QStringLiteral("panContainer"));
    esterno->addWidget(pan);
    auto *shp = new QFrame(pan);
    shp->setObjectName(QStringLiteral("shpSfondo"));
    shp->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("QFrame#shpSfondo { background: qlineargradient(x1:0, "
                                         "y1:0, x2:0, y2:1, stop:0 @Acciaio, stop:1 @Bianco); }")));
    shp->setGeometry(sfondo);
    return pan;
}

TImmagine *Figura(QWidget *parent, const char *nome, const QString &risorsa, QSize dimensione)
{
    auto *img = new TImmagine(parent);
    img->setObjectName(QString::fromLatin1(nome));
    img->SetSvgSchermo(risorsa, dimensione);
    img->setFixedSize(dimensione);
    return img;
}

namespace {
void ColoraLink(QLabel *link, QRgb colore)
{
    QPalette pal = link->palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgba(colore));
    link->setPalette(pal);
}
} // namespace

void Collegamento(TEtichetta *link, TImmagine *icona, const std::function<void()> &azione)
{
    QFont f(QStringLiteral("Tahoma"), 14);
    f.setUnderline(true);
    link->setFont(f);
    link->setCursor(Qt::PointingHandCursor);
    ColoraLink(link, ColoreLink);
    auto premi = [link] { ColoraLink(link, ColoreLinkPremuto); };
    auto rilascia = [link] { ColoraLink(link, ColoreLink); };
    auto clic = [link, azione] {
        ColoraLink(link, ColoreLink);
        azione();
    };
    QObject::connect(link, &TEtichetta::premuto, link, premi);
    QObject::connect(link, &TEtichetta::rilasciato, link, rilascia);
    QObject::connect(link, &TEtichetta::clicked, link, clic);
    if (icona) {
        icona->setCursor(Qt::PointingHandCursor);
        QObject::connect(icona, &TImmagine::premuto, link, premi);
        QObject::connect(icona, &TImmagine::rilasciato, link, rilascia);
        QObject::connect(icona, &TImmagine::clicked, link, clic);
    }
}

QString TitoloGuidaAvvio()
{
    return QStringLiteral("Uno sguardo a Quorvel");
}

QString TestoGuidaAvvio()
{
    static const char16_t *const Paragrafi[] = {
        u"Quorvel è il programma che tiene l'archivio dei tuoi tesserati e stampa le loro "
        u"tessere di riconoscimento: raccoglie i dati di ogni iscritto, ne conserva la foto e "
        u"con pochi clic produce tessere dall'aspetto professionale, pronte da consegnare.",
        u"È pensato per associazioni, circoli, club sportivi, scuole e aziende che rilasciano "
        u"una tessera ai propri soci, allievi o dipendenti. Le tessere hanno il formato di una "
        u"carta bancomat o di credito (86 x 54 mm), comodo da tenere nel portafoglio e adatto "
        u"alle comuni custodie porta badge.",
        u"Su ogni tessera compaiono il nome dell'ente o dell'associazione con due righe di "
        u"sottotitolo e una riga di note, il logo dell'ente, la foto del tesserato, il suo nome, "
        u"la carica, il numero di tessera, la data di rilascio e quella di scadenza. Il logo può "
        u"essere un'immagine in formato JPEG o bitmap.",
        u"Le tessere si stampano con qualsiasi stampante collegata al computer: una alla volta, "
        u"anche su cartoncini già fustellati, oppure più tessere insieme su un normale foglio A4. "
        u"Per la tessera singola puoi regolare il margine superiore e sinistro e l'orientamento "
        u"della pagina, così che la stampa cada esattamente dove serve; sul foglio A4 trovano "
        u"posto fino a nove tessere diverse.",
        u"L'archivio dei tesserati raccoglie per ogni persona i dati anagrafici, di residenza e "
        u"di contatto, insieme alla foto. La foto viene adattata al riquadro di anteprima "
        u"mantenendo le sue proporzioni e può essere vista a tutto schermo con un clic.",
        u"L'archivio funziona anche da rubrica: oltre ai numeri di telefono custodisce l'indirizzo "
        u"e-mail, da cui puoi scrivere al tesserato con il tuo programma di posta. Quattro "
        u"controlli a portata di clic verificano il codice fiscale, la partita IVA, il numero "
        u"della carta di credito e l'IBAN.",
        u"Per ogni tessera puoi indicare un preavviso in giorni: quando mancano meno giorni di "
        u"quelli indicati alla scadenza, la tessera entra nell'elenco dei rinnovi, che si apre "
        u"con l'icona dell'orologio nella schermata dell'archivio.",
        u"Dall'archivio puoi preparare un'e-mail di promemoria per il rinnovo: Quorvel apre il "
        u"tuo programma di posta con l'indirizzo del tesserato e un testo di esempio già "
        u"scritto, che ricorda la scadenza della tessera e che puoi modificare a piacere prima "
        u"dell'invio.",
        u"Una tessera può essere segnata come annullata. Le tessere annullate non compaiono nelle "
        u"ricerche, ma restano nell'archivio: le ritrovi scorrendo le schede una per una e sono "
        u"comprese nell'esportazione dell'archivio.",
        u"Per inserire un nuovo tesserato premi \"Nuovo\", compila i campi e premi \"Salva\". "
        u"Sono obbligatori il nome del tesserato, la data di rilascio e la data di scadenza "
        u"della tessera; tutti gli altri dati possono essere aggiunti anche in seguito.",
        u"Se il computer dispone di una webcam, puoi scattare la foto del tesserato direttamente "
        u"dal programma, senza passare da altri software: la foto scattata appare subito nella "
        u"scheda.",
        u"La foto di una scheda può essere ingrandita a tutto schermo, salvata come copia in una "
        u"cartella a tua scelta, ritoccata con il tuo programma di grafica preferito e poi "
        u"ricaricata nella scheda.",
        u"La ricerca in archivio permette di combinare più filtri insieme, per esempio nome, "
        u"carica, numero di tessera o date, e mostra l'elenco dei tesserati che li soddisfano "
        u"tutti: con un doppio clic la scheda scelta si apre nella schermata che l'ha chiesta.",
        u"A ogni scheda puoi allegare fino a tre file, come documenti d'identità, moduli di "
        u"iscrizione o certificati, ognuno con una breve descrizione; gli allegati si aprono con "
        u"un clic.",
        u"Di ogni tesserato puoi stampare una scheda informativa di una pagina con tutti i suoi "
        u"dati e la foto, e l'intero archivio può essere esportato in un foglio di calcolo.",
        u"La schermata \"Stampa tessera singola\" mostra la tessera così come verrà stampata. "
        u"Puoi riempirla a mano oppure importare i dati di un tesserato dall'archivio con il "
        u"pulsante di ricerca, controllarla a video, vederne l'anteprima e stamparla.",
        u"Sulla tessera inserisci i dati dell'ente (nome, sottotitoli, note e logo) e quelli del "
        u"tesserato. I dati dell'ente e il logo vengono salvati automaticamente quando lasci la "
        u"schermata, così li ritrovi pronti alla stampa successiva.",
        u"Nelle impostazioni di stampa puoi regolare i margini e l'orientamento della pagina, in "
        u"modo da adattare la stampa alla tua stampante e al cartoncino che usi; le impostazioni "
        u"restano memorizzate per le stampe successive.",
        u"Per un risultato migliore usa foto in formato verticale, come quelle per i documenti: "
        u"la foto viene adattata al suo riquadro mantenendo le proporzioni, quindi una foto "
        u"orizzontale apparirebbe piccola e circondata da spazio vuoto.",
        u"La schermata \"Stampa più tessere\" mostra nove tessere, ognuna con un pulsante che "
        u"importa i dati di un tesserato dall'archivio: scegli così le tessere da stampare, "
        u"controlla l'anteprima dell'intero foglio A4 e stampalo.",
        u"Ogni tessera del foglio può essere svuotata con il suo pulsante numerato, e tutte "
        u"insieme con \"Nuovo\" o con l'icona della gomma. Svuotare le tessere non cancella "
        u"nulla dall'archivio: serve solo a tenere ordinata la schermata e a evitare di stampare "
        u"tessere compilate per errore.",
        u"L'esportazione crea il file \"Tesserati.xls\" con tutte le schede dell'archivio, che "
        u"puoi aprire con Microsoft Excel, LibreOffice o un altro programma di fogli di calcolo "
        u"e salvare con il nome che preferisci.",
        u"L'accesso al programma è protetto da una password, che puoi cambiare quando vuoi dalla "
        u"schermata di accesso con il pulsante \"Cambia password\"; ti consigliamo di sceglierne "
        u"una di almeno otto caratteri. Al primo accesso, e dopo ogni installazione, usa la "
        u"password iniziale \"girasolidiluna\".",
        u"Ci auguriamo che Quorvel ti renda più semplice e piacevole il lavoro di ogni giorno. "
        u"In ogni schermata trovi una guida dedicata e, per qualsiasi domanda o suggerimento, "
        u"puoi scriverci dalla finestra delle informazioni. Buon lavoro!",
    };
    QStringList testo;
    for (const char16_t *p : Paragrafi)
        testo << QString::fromUtf16(p);
    return testo.join(QStringLiteral("\r\n\r\n"));
}

} // namespace Guscio
