#include "docs/CapitoliGuida.h"

namespace CapitoliGuida {

CapitoloGuida PrimoAccesso()
{
    return {QStringLiteral("Il primo accesso"),
            QStringLiteral(
                "All'avvio Quorvel chiede la password di accesso. Al primo accesso, e al primo "
                "accesso dopo ogni installazione, la password è \"girasolidiluna\": si può "
                "scrivere in lettere minuscole o maiuscole, è lo stesso.\n\n"
                "Per cambiarla, nella finestra di accesso si preme \"Cambia password\", si scrive "
                "la password attuale, poi due volte la nuova, e si preme OK. Conviene scegliere "
                "una password di almeno otto caratteri e annotarla in un luogo sicuro: senza la "
                "password il programma non si apre.")};
}

CapitoloGuida Importazione()
{
    return {
        QStringLiteral("Importare i tesserati da un foglio di calcolo"),
        QStringLiteral(
            "Chi tiene già l'elenco dei soci in un foglio di calcolo non deve ricopiarlo a mano. "
            "Nella schermata Archivio Tesserati si preme \"Importa\", poi \"Scegli il file...\". "
            "Quorvel legge i file .xlsx (Excel), .ods (LibreOffice) e i file di testo .csv e "
            ".txt, con i valori separati da punto e virgola, da virgola o da tabulazione: il "
            "separatore viene riconosciuto da solo. I vecchi file .xls non si possono leggere: "
            "aprirli con il foglio di calcolo, salvarli come .xlsx o .ods e sceglierli di nuovo. "
            "Se il file ha più fogli, si sceglie quello giusto in \"Foglio\".\n\n"
            "In \"Riga d'intestazione\" si scrive il numero della riga che contiene i nomi delle "
            "colonne (Cognome, Nome, Tessera n. e così via). Le righe sopra di essa, come un "
            "titolo o una nota, non vengono importate. L'anteprima mostra le prime righe del "
            "foglio, per controllare di aver scelto la riga giusta.\n\n"
            "Nella tabella \"Colonne del file e campi della scheda\" ogni colonna del file ha "
            "accanto il campo della scheda in cui andrà. Per le intestazioni più comuni "
            "(\"Cognome e nome\", \"Tessera n.\", \"E-mail\", \"Codice fiscale\", \"Cellulare\" e "
            "molte altre) Quorvel sceglie da solo; le altre si abbinano a mano, e una colonna "
            "lasciata su \"(nessuno)\" non viene importata. Cognome e nome in due colonne "
            "separate vengono uniti. Una colonna \"Foto\" può contenere il nome del file della "
            "foto di ciascun tesserato, cercato nella cartella del foglio di calcolo. "
            "L'abbinamento viene ricordato: la volta successiva, con un file che ha le stesse "
            "intestazioni, le colonne sono già abbinate.\n\n"
            "La data di rilascio e quella di scadenza sono obbligatorie. Per le righe che non le "
            "hanno si usano le date scritte in \"Per le righe senza date\" (proposte: oggi e fra "
            "un anno); lasciando vuote quelle caselle, le righe senza date vengono scartate. Le "
            "righe già presenti in archivio (stessa tessera, o stesso nome e data di nascita) "
            "vengono scartate, a meno di spuntare \"Importa anche le righe già presenti in "
            "archivio\".\n\n"
            "Prima di importare conviene premere \"Prova\": controlla tutte le righe senza "
            "scrivere nulla e mostra nell'\"Esito\" quante righe sarebbero importate e, riga per "
            "riga, quali sarebbero scartate e perché (manca il nome, una data non esiste, la "
            "scadenza è anteriore al rilascio, la tessera è già in archivio) e quali hanno "
            "soltanto un avviso (un CAP completato con gli zeri, un IBAN non valido, una foto "
            "mancante). Si corregge il foglio di calcolo, si prova di nuovo e, quando l'esito è "
            "quello voluto, si preme \"Importa\". \"Salva l'esito...\" salva l'elenco in un file "
            "CSV; \"Annulla\" ferma il lavoro lasciando l'archivio com'era.\n\n"
            "Prima di ogni importazione Quorvel salva una copia dell'archivio, e delle foto che "
            "sta per sostituire, in una cartella datata dentro \"Copie importazioni\", nella "
            "cartella dei dati; restano le ultime cinque. Se l'importazione non era quella "
            "giusta, \"Annulla l'ultima importazione\" riporta l'archivio e le foto a com'erano "
            "prima. Si può fare finché l'archivio non è stato modificato dopo l'importazione: "
            "dopo, Quorvel lo dice e non tocca nulla.")};
}

CapitoloGuida Margini()
{
    return {
        QStringLiteral("Come tarare i margini per il proprio cartoncino"),
        QStringLiteral(
            "Ogni stampante trascina il foglio in modo un po' diverso, e i cartoncini "
            "prefustellati hanno le tessere in posizioni diverse. Per questo Quorvel ricorda, per "
            "ciascuna stampante, un margine superiore e uno sinistro, in millimetri, e "
            "l'orientamento del foglio.\n\n"
            "Con margini a zero la tessera viene stampata a 10 mm dal bordo superiore e a 10 mm "
            "dal bordo sinistro del foglio. Ogni unità di margine la sposta di un millimetro: un "
            "margine superiore di 3 la porta a 13 mm, un margine di -3 a 7 mm.\n\n"
            "Per tarare: stampare il foglio di prova (capitolo seguente) su un foglio comune, "
            "sovrapporlo al cartoncino controluce e leggere sui righelli di quanti millimetri la "
            "tessera stampata è spostata rispetto a quella del cartoncino. Correggere i margini "
            "con i pulsanti \"+\" e \"-\" della finestra di stampa e ripetere la prova finché le "
            "due tessere coincidono. I margini restano memorizzati per le stampe successive.")};
}

CapitoloGuida FoglioDiProva()
{
    return {
        QStringLiteral("Il foglio di prova"),
        QStringLiteral(
            "Il foglio di prova mostra, su carta comune, dove cadrebbe la tessera, senza "
            "sprecare cartoncini. Nella schermata Stampa tessera singola si preme \"Stampa\": "
            "nella finestra \"Stampa tesserino\" si sceglie la stampante, l'orientamento e i "
            "margini, poi si preme \"Foglio di prova\".\n\n"
            "Sul foglio A4 sono stampati il contorno della tessera nel punto esatto in cui "
            "verrebbe stampata, una crocetta a ogni angolo e due righelli con una tacca ogni "
            "millimetro e un numero ogni cinque: uno scende dal bordo superiore del foglio al "
            "bordo della tessera, l'altro va dal bordo sinistro del foglio al bordo della "
            "tessera. Sotto la tessera una riga riporta i margini e l'orientamento usati, "
            "seguita dalle istruzioni.\n\n"
            "Come usarlo: 1. stampare il foglio su carta comune, con la stampante e "
            "l'orientamento scelti per le tessere; 2. sovrapporlo al cartoncino delle tessere, "
            "con i bordi della carta allineati, e guardarli in controluce; 3. sui righelli "
            "leggere di quanti millimetri il rettangolo stampato si discosta dalla tessera del "
            "cartoncino, in alto e a sinistra; 4. nella finestra \"Stampa tesserino\" correggere "
            "di tanto il margine superiore e il margine sinistro: \"+\" sposta la stampa in basso "
            "o a destra, \"-\" in alto o a sinistra. Poi stampare un nuovo foglio di prova, "
            "finché il rettangolo cade esattamente sulla tessera.\n\n"
            "I margini valgono per la stampante scelta in \"Stampante\": Quorvel li ricorda, con "
            "l'orientamento, per ciascuna stampante, e scegliendo un'altra stampante tornano i "
            "suoi. Una stampante non ancora tarata parte dagli ultimi margini salvati. La stampa "
            "di più tessere su foglio A4 e la stampa delle tessere in serie usano i margini "
            "della stampante che la finestra di stampa propone per prima: conviene tarare "
            "quella.")};
}

CapitoloGuida CodiceQR()
{
    return {
        QStringLiteral("Il codice QR sulla tessera"),
        QStringLiteral(
            "La tessera può portare un codice QR, che un telefono o un lettore legge in un "
            "attimo: serve, per esempio, a controllare all'ingresso il numero di tessera e la "
            "scadenza. Nella schermata Stampa tessera singola si fa clic sul nome dell'ente: "
            "nella finestra \"Dati Ente o Associazione\" si spunta \"Codice QR sulla tessera\" e "
            "si scrive nella casella sottostante il testo del codice. Il codice, di 12 mm di "
            "lato, compare nella fascia in alto della tessera, sulla tessera singola, sul foglio "
            "di nove tessere e nelle tessere stampate in serie.\n\n"
            "Nel testo si possono usare questi segnaposto, che Quorvel sostituisce con i dati "
            "di ciascuna tessera: {tessera} il numero di tessera, {tesserato} il cognome e nome, "
            "{scadenza} la data di scadenza, {rilascio} la data di rilascio, {posizione} il "
            "numero della scheda in archivio. Il testo proposto è \"{tessera} {tesserato} "
            "{scadenza}\". Altri esempi: \"Tessera {tessera} valida fino al {scadenza}\", oppure "
            "l'indirizzo di una pagina di verifica, come "
            "\"https://www.esempio.it/verifica?tessera={tessera}\".\n\n"
            "Una parola tra parentesi graffe che non è un segnaposto (per esempio {nome}) "
            "verrebbe stampata così com'è: premendo \"Applica e chiudi\" Quorvel la segnala, "
            "elenca i segnaposto disponibili e lascia la finestra aperta per correggerla. Prima "
            "di stampare molte tessere conviene leggere con il telefono il codice di una tessera "
            "di prova.")};
}

CapitoloGuida Retro()
{
    return {
        QStringLiteral("Il retro della tessera"),
        QStringLiteral(
            "Nella stessa finestra \"Dati Ente o Associazione\", \"Stampa il retro\" aggiunge "
            "il retro della tessera: il nome e il logo dell'ente e fino a otto righe di testo, "
            "scritte nella casella sottostante (per esempio i recapiti dell'associazione o "
            "\"In caso di smarrimento restituire a...\"). La casella non accetta più di otto "
            "righe.\n\n"
            "Con il retro ogni stampa ha due pagine: la prima con i fronti, la seconda con i "
            "retro. La seconda pagina è disegnata a specchio, da sinistra a destra: girando il "
            "foglio sul lato lungo, come si volta la pagina di un libro, ogni retro cade "
            "esattamente dietro il suo fronte. I margini della stampante spostano il retro come "
            "il fronte.\n\n"
            "Con una stampante fronte-retro (duplex) si sceglie, nella finestra di stampa, la "
            "stampa su due lati con rilegatura sul lato lungo. Con una stampante che stampa su "
            "un solo lato si stampa prima la pagina 1, poi si rimette il foglio nel vassoio "
            "girato sul lato lungo e si stampa la pagina 2. Conviene fare la prima volta una "
            "prova su carta comune e guardarla in controluce: fronte e retro devono "
            "coincidere.")};
}

CapitoloGuida TessereInSerie()
{
    return {
        QStringLiteral("Stampare le tessere in serie"),
        QStringLiteral(
            "Per stampare in una volta le tessere di molti tesserati, per esempio di tutti i "
            "nuovi iscritti o di tutti quelli che hanno rinnovato, si parte da un elenco: la "
            "ricerca (pulsante \"Trova\" dell'Archivio Tesserati) o l'elenco delle tessere in "
            "attesa di rinnovo (pulsante \"Rinnovi\"). Si preme \"Stampa tessere\": vengono "
            "stampate le tessere delle righe selezionate (più righe si scelgono tenendo "
            "premuto Ctrl o Maiusc) oppure, se nessuna riga è selezionata, tutte quelle "
            "dell'elenco. Le tessere annullate vengono escluse, e la finestra dice quante.\n\n"
            "Nella finestra \"Stampa tessere\" si sceglie \"Nove per foglio A4\" oppure \"Una per "
            "pagina\". Con nove per foglio, \"Prima posizione libera del foglio\" permette di "
            "riusare un cartoncino già in parte stampato: le posizioni si contano per righe, da "
            "sinistra a destra, da 1 a 9. La finestra dice quante tessere e quante pagine "
            "verranno stampate; \"Anteprima\" mostra le pagine, \"Stampa\" le manda alla "
            "stampante con la barra \"Pagina ... di ...\", e \"Annulla\" ferma la stampa.\n\n"
            "\"Riduci il carattere dei testi troppo lunghi\" scrive più piccolo, fino a 6 punti, "
            "un nome o una carica che non entra nella tessera, invece di tagliarlo al bordo. La "
            "scelta viene ricordata.\n\n"
            "Prima di stampare Quorvel avvisa di ciò che non va: tessere senza foto (stampate "
            "con la sagoma), senza numero di tessera, con il nome o la carica troppo lunghi, "
            "tessere escluse perché annullate. Alla domanda \"Stampare comunque?\" si risponde "
            "No per tornare indietro e correggere le schede.\n\n"
            "Anche nella schermata Stampa più tessere, dove le nove tessere del foglio si "
            "scelgono una per una, la finestra di stampa ha \"Riduci il carattere dei testi "
            "troppo lunghi\" e \"Stampa solo le tessere con un socio\": con questa scelta le "
            "posizioni del foglio senza un socio restano bianche, e il cartoncino si può "
            "riusare per le tessere che mancano.")};
}

CapitoloGuida Avvisi()
{
    return {
        QStringLiteral("Gli avvisi di scadenza per e-mail"),
        QStringLiteral(
            "Quorvel può mandare da sé, per posta elettronica, l'avviso di rinnovo a tutti i "
            "tesserati la cui tessera sta per scadere. Si parte dall'elenco delle tessere in "
            "attesa di rinnovo (pulsante \"Rinnovi\" dell'Archivio Tesserati): vi compaiono le "
            "tessere entrate nel periodo di preavviso della loro scheda e, per chi ha già "
            "ricevuto un avviso, la data dell'ultimo (\"Avvisato\"). Per un solo tesserato c'è "
            "anche il pulsante \"Invia avviso scadenza\" della scheda, che prepara il messaggio "
            "nel proprio programma di posta.\n\n"
            "Le impostazioni. La prima volta si preme \"Impostazioni posta\" (oppure \"Invia "
            "avvisi\", che le apre da solo se mancano) e si scrivono i dati del server di posta "
            "dell'associazione, come li indica il fornitore della casella: \"Server\" (per "
            "esempio smtp.fornitore.it), \"Sicurezza\" e \"Porta\" (SSL/TLS con la porta 465 "
            "oppure STARTTLS con la porta 587; la porta si propone da sola), \"Nome utente\" e "
            "\"Password\" della casella, \"Indirizzo del mittente\" e \"Nome del mittente\", "
            "che i tesserati vedranno. \"Invia prova\" manda un messaggio di prova all'indirizzo "
            "del mittente: se arriva, le impostazioni sono giuste. \"Salva\" le conserva. La "
            "password della casella viene custodita nel portachiavi del desktop; dove non ce "
            "n'è uno resta, offuscata, nel file delle impostazioni, e la finestra lo dice.\n\n"
            "I certificati. Con SSL/TLS e STARTTLS la connessione è cifrata e Quorvel controlla "
            "il certificato del server: se non è valido o non è riconosciuto, nulla viene "
            "inviato e un messaggio lo spiega. Un server con un certificato emesso da "
            "un'autorità propria, come il server interno di una scuola o di un'azienda, si fa "
            "riconoscere scegliendo nelle impostazioni il file del certificato di quell'autorità "
            "(file CA, in formato PEM), che l'amministratore del server fornisce. Quorvel non "
            "manda il nome utente e la password su una connessione senza cifratura (sicurezza "
            "\"Nessuna\"), a meno che nelle impostazioni si spunti la casella che lo permette: "
            "va fatto solo per un server della propria rete.\n\n"
            "Il testo del messaggio si scrive nel modello dell'avviso. Il testo può contenere "
            "questi campi, che Quorvel sostituisce per ogni tesserato: {gentile} la formula di "
            "cortesia, {nome} il cognome e nome, {tessera} il numero di tessera, {rilascio} e "
            "{scadenza} le date della tessera, {ente} il nome dell'ente o dell'associazione.\n\n"
            "L'invio. \"Invia avvisi\" prepara un avviso per ogni tesserato dell'elenco. Prima "
            "di inviare, un'anteprima mostra chi riceverà l'avviso e chi viene saltato, e "
            "perché: senza indirizzo e-mail o con un indirizzo non valido, oppure già avvisato "
            "di recente. Confermato l'invio, una barra mostra l'avanzamento e \"Annulla\" lo "
            "ferma; alla fine un riepilogo dice quanti avvisi sono stati inviati, quanti "
            "saltati e quanti non sono riusciti, con la risposta del server per ciascuno.\n\n"
            "La regola dei giorni. \"Non ripetere l'avviso per giorni\" (7 se non si cambia) "
            "evita di scrivere due volte alla stessa persona: chi ha ricevuto un avviso da meno "
            "di quei giorni viene saltato. Per scrivere lo stesso anche a loro si spunta "
            "\"Includi anche i tesserati già avvisati di recente\"; con 0 giorni nessuno viene "
            "saltato.\n\n"
            "Il registro. Ogni invio viene annotato, appena il server ha risposto, nel file "
            "\"Avvisi.csv\" della cartella dei dati: una riga per messaggio con la data, l'ora, "
            "la posizione in archivio, il nome, l'indirizzo, la scadenza e l'esito (\"inviato\", "
            "oppure \"errore:\" con la risposta del server). Il file ha una riga d'intestazione "
            "e le date nella forma anno-mese-giorno (2025-06-15), e si apre con qualunque "
            "foglio di calcolo. La regola dei giorni si basa su questo registro: non va "
            "cancellato. Se il registro non si può scrivere, l'invio si ferma.")};
}

CapitoloGuida CopiaDiSicurezza()
{
    return {
        QStringLiteral("La copia di sicurezza"),
        QStringLiteral(
            "Tutti i dati di Quorvel stanno in una sola cartella, la cartella dei dati: "
            "l'archivio \"Tesserati.pro\", le foto dei tesserati (1.jpg, 2.jpg e così via, col "
            "numero della posizione in archivio), \"Quorvel.ini\" con i dati dell'ente, i "
            "margini di stampa e le impostazioni di posta, il logo \"Logo.jpg\", la password "
            "\"unins000.dll\", la cartella \"Documenti_Allegati\" con i documenti allegati alle "
            "schede, il registro degli avvisi \"Avvisi.csv\", l'ultima esportazione "
            "\"Tesserati.xls\" e le copie fatte prima delle "
            "importazioni, in \"Copie importazioni\".\n\n"
            "Dove si trova la cartella dei dati dipende da come è stato installato Quorvel. "
            "Quando chi usa il programma può scrivere nella cartella del programma, i dati "
            "stanno lì, accanto al programma: è il caso di Quorvel compilato dai sorgenti, della "
            "versione portatile (l'archivio da scompattare in una cartella qualsiasi) e "
            "dell'installazione nella propria cartella personale. Installato con il pacchetto "
            "Debian, o comunque nelle cartelle del sistema, e in ogni caso quando la cartella "
            "del programma non si può scrivere, i dati stanno nella cartella personale di chi "
            "usa il programma: ~/.local/share/Quorvel, cioè /home/nomeutente/.local/share/"
            "Quorvel (oppure $XDG_DATA_HOME/Quorvel, se la variabile XDG_DATA_HOME è "
            "impostata). È una "
            "cartella nascosta: nel gestore dei file si vede premendo Ctrl+H. Ogni utente del "
            "computer ha la sua, leggibile soltanto da lui, perché contiene i dati personali "
            "dei tesserati.\n\n"
            "Per non sbagliare cartella basta aprire la finestra \"Informazioni\", con il "
            "pulsante \"i\" della schermata iniziale: mostra la cartella in cui si trovano i "
            "dati. Con il pacchetto Debian la cartella del programma non contiene alcun dato: "
            "copiare quella non serve a nulla.\n\n"
            "Per una copia di sicurezza basta chiudere Quorvel e copiare l'intera cartella dei "
            "dati su una chiavetta o un disco esterno, magari una volta alla settimana e sempre "
            "prima di aggiornare il programma, e conservarla in un luogo riservato. La password "
            "della casella di posta, custodita nel portachiavi del desktop, non è nella "
            "cartella: conviene annotarla a parte. Per ripristinare si chiude Quorvel e si "
            "copia la cartella salvata al posto della cartella dei dati.")};
}

} // namespace CapitoliGuida
