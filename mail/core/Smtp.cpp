#include "mail/core/Smtp.h"

#include "archive/Errori.h"
#include "archive/Impostazioni.h"
#include "mail/core/LibCurl.h"
#include "shell/core/Crypt.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {
const QString Sezione = QStringLiteral("Posta Elettronica");

QString Ini(const QString &cartella)
{
    return QDir(cartella).filePath(QStringLiteral("Quorvel.ini"));
}

// A host name or address: letters, digits, dots, hyphens (and colons for IPv6),
// so the value cannot change the URL it goes into.
bool ServerValido(const QString &s)
{
    if (s.isEmpty() || s.size() > 253)
        return false;
    for (QChar c : s) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                        (u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u':';
        if (!ok)
            return false;
    }
    return true;
}

// The reply codes of a server's answer ("535 5.7.8 ...") as " (535 5.7.8)", its text
// left out: the log and the messages speak Italian. Empty when there is no code.
QString Codici(const QString &risposta)
{
    static const QRegularExpression e(
        QStringLiteral("^([2-5][0-9][0-9])(?:[ -]([2-5]\\.[0-9]{1,3}\\.[0-9]{1,3}))?"));
    const QRegularExpressionMatch m = e.match(risposta.trimmed());
    if (!m.hasMatch())
        return {};
    return QStringLiteral(" (") + m.captured(0).replace(u'-', u' ') + u')';
}

// The password is scrambled as UTF-8 bytes: Encrypt keeps only 8 bits of a character.
QString Offusca(const QString &p)
{
    return Crypt::Encrypt(QString::fromLatin1(p.toUtf8()));
}
QString Chiarisci(const QString &p)
{
    return QString::fromUtf8(Crypt::Decrypt(p).toLatin1());
}
} // namespace

bool TImpostazioniPosta::Complete() const
{
    return !server.trimmed().isEmpty() && !mittente.trimmed().isEmpty() && porta > 0;
}

QString TestoSicurezza(Sicurezza s)
{
    switch (s) {
    case Sicurezza::SslTls:
        return QStringLiteral("SSL/TLS");
    case Sicurezza::StartTls:
        return QStringLiteral("STARTTLS");
    case Sicurezza::Nessuna:
        return QStringLiteral("Nessuna");
    }
    return {};
}

bool ServerLocale(const QString &server)
{
    const QString s = server.trimmed().toLower();
    return s == QLatin1String("localhost") || s == QLatin1String("localhost.") ||
           s == QLatin1String("127.0.0.1") || s == QLatin1String("::1");
}

bool AccessoConsentito(const TImpostazioniPosta &p)
{
    return p.sicurezza != Sicurezza::Nessuna || ServerLocale(p.server) || p.autenticazioneInChiaro;
}

QString MessaggioAccessoInChiaro(const QString &server)
{
    return QStringLiteral(
               "Il collegamento con il server di posta %1 non \u00E8 cifrato (sicurezza "
               "\"Nessuna\"): il nome utente e la password viaggerebbero in chiaro sulla rete e "
               "non sono stati inviati. Scegliere SSL/TLS o STARTTLS nelle impostazioni di posta "
               "oppure, solo su una rete fidata, spuntare \"Invia utente e password senza "
               "cifratura\".")
        .arg(server.trimmed());
}

int PortaPredefinita(Sicurezza s)
{
    switch (s) {
    case Sicurezza::SslTls:
        return 465;
    case Sicurezza::StartTls:
        return 587;
    case Sicurezza::Nessuna:
        return 25;
    }
    return 465;
}

Sicurezza SicurezzaDaTesto(const QString &testo)
{
    if (testo == QLatin1String("STARTTLS"))
        return Sicurezza::StartTls;
    if (testo == QLatin1String("Nessuna"))
        return Sicurezza::Nessuna;
    return Sicurezza::SslTls;
}

namespace {
// The settings from their keys' texts, read one by one through `leggi`.
template <class Leggi> TImpostazioniPosta DaiValori(const Leggi &leggi)
{
    TImpostazioniPosta p;
    p.server = leggi(QStringLiteral("Server")).trimmed();
    bool ok = false;
    const int porta = leggi(QStringLiteral("Porta")).trimmed().toInt(&ok);
    p.sicurezza = SicurezzaDaTesto(leggi(QStringLiteral("Sicurezza")).trimmed());
    p.porta = ok && porta > 0 && porta < 65536 ? porta : PortaPredefinita(p.sicurezza);
    p.utente = leggi(QStringLiteral("Utente"));
    p.mittente = leggi(QStringLiteral("Mittente")).trimmed();
    p.nomeMittente = leggi(QStringLiteral("NomeMittente")).trimmed();
    const int giorni = leggi(QStringLiteral("Giorni")).trimmed().toInt(&ok);
    p.giorni = ok && giorni >= 0 ? giorni : 7;
    p.fileCA = leggi(QStringLiteral("FileCA")).trimmed();
    p.autenticazioneInChiaro = leggi(QStringLiteral("AutenticazioneInChiaro")).trimmed() == u'1';
    return p;
}
} // namespace

TImpostazioniPosta TImpostazioniPosta::Carica(const QString &cartella)
{
    const TFileIni ini(Ini(cartella));
    TImpostazioniPosta p =
        DaiValori([&ini](const QString &chiave) { return ini.Leggi(Sezione, chiave); });
    p.password = PasswordSalvata(cartella);
    return p;
}

QList<std::pair<QString, QString>> TImpostazioniPosta::ValoriCondivisi() const
{
    return {{QStringLiteral("Server"), server.trimmed()},
            {QStringLiteral("Porta"), QString::number(porta)},
            {QStringLiteral("Sicurezza"), TestoSicurezza(sicurezza)},
            {QStringLiteral("Utente"), utente},
            {QStringLiteral("Mittente"), mittente.trimmed()},
            {QStringLiteral("NomeMittente"), nomeMittente.trimmed()},
            {QStringLiteral("Giorni"), QString::number(giorni)},
            {QStringLiteral("AutenticazioneInChiaro"),
             autenticazioneInChiaro ? QStringLiteral("1") : QStringLiteral("0")}};
}

void TImpostazioniPosta::ApplicaCondivisi(const QHash<QString, QString> &valori)
{
    TImpostazioniPosta p = DaiValori([&valori](const QString &chiave) {
        return chiave == QLatin1String("FileCA") ? QString() : valori.value(chiave);
    });
    p.fileCA = fileCA;
    p.password = password;
    *this = p;
}

void TImpostazioniPosta::Salva(const QString &cartella) const
{
    TFileIni ini(Ini(cartella));
    ini.Imposta(Sezione, QStringLiteral("Server"), server.trimmed());
    ini.Imposta(Sezione, QStringLiteral("Porta"), QString::number(porta));
    ini.Imposta(Sezione, QStringLiteral("Sicurezza"), TestoSicurezza(sicurezza));
    ini.Imposta(Sezione, QStringLiteral("Utente"), utente);
    ini.Imposta(Sezione, QStringLiteral("Mittente"), mittente.trimmed());
    ini.Imposta(Sezione, QStringLiteral("NomeMittente"), nomeMittente.trimmed());
    ini.Imposta(Sezione, QStringLiteral("Giorni"), QString::number(giorni));
    ini.Imposta(Sezione, QStringLiteral("FileCA"), fileCA.trimmed());
    ini.Imposta(Sezione, QStringLiteral("AutenticazioneInChiaro"),
                autenticazioneInChiaro ? QStringLiteral("1") : QStringLiteral("0"));
    ini.Salva();
}

void TImpostazioniPosta::SalvaPasswordInChiaro(const QString &cartella, const QString &password)
{
    TFileIni ini(Ini(cartella));
    ini.Scrivi(Sezione, QStringLiteral("Password"),
               password.isEmpty() ? QString() : Offusca(password));
}

QString TImpostazioniPosta::PasswordSalvata(const QString &cartella)
{
    const TFileIni ini(Ini(cartella));
    const QString s = ini.Leggi(Sezione, QStringLiteral("Password")).trimmed();
    try {
        return s.isEmpty() ? QString() : Chiarisci(s);
    } catch (const std::invalid_argument &) {
        return {};
    }
}

// ---- Client ------------------------------------------------------------------------------

struct TClienteSmtp::Stato {
    CURL *curl = nullptr;
    char errore[CURL_ERROR_SIZE] = {};
    // What the server said last, and the command it answered.
    QByteArray ultimoComando;
    QByteArray ultimaRisposta;
    // The first refusal (4xx or 5xx) and the command it answered: what follows it
    // (QUIT, 221) is curl closing up.
    QByteArray comandoRifiutato;
    QByteArray rifiuto;
    // MAIL FROM went out: from there on a failure concerns this message.
    bool messaggioIniziato = false;
    // The message being uploaded.
    QByteArray dati;
    qsizetype letti = 0;

    static size_t Leggi(char *buffer, size_t size, size_t n, void *utente)
    {
        auto *s = static_cast<Stato *>(utente);
        const size_t resto = static_cast<size_t>(s->dati.size() - s->letti);
        const size_t k = std::min(resto, size * n);
        memcpy(buffer, s->dati.constData() + s->letti, k);
        s->letti += static_cast<qsizetype>(k);
        return k;
    }

    static int Traccia(CURL *, curl_infotype tipo, char *dati, size_t n, void *utente)
    {
        auto *s = static_cast<Stato *>(utente);
        if (tipo == CURLINFO_HEADER_OUT) {
            s->ultimoComando = QByteArray(dati, static_cast<qsizetype>(n)).trimmed();
            s->ultimaRisposta.clear();
            if (s->ultimoComando.left(5).toUpper() == "MAIL ")
                s->messaggioIniziato = true;
        } else if (tipo == CURLINFO_HEADER_IN) {
            s->ultimaRisposta = QByteArray(dati, static_cast<qsizetype>(n)).trimmed();
            const char primo = s->ultimaRisposta.isEmpty() ? 0 : s->ultimaRisposta[0];
            if (s->rifiuto.isEmpty() && (primo == '4' || primo == '5')) {
                s->rifiuto = s->ultimaRisposta;
                s->comandoRifiutato = s->ultimoComando;
            }
        }
        return 0;
    }
};

TClienteSmtp::TClienteSmtp(const TImpostazioniPosta &impostazioni)
    : m_stato(std::make_unique<Stato>()), m_impostazioni(impostazioni)
{
    const TLibCurl *curl = LibCurl();
    if (!curl)
        throw ErroreFile(QStringLiteral("Impossibile avviare la posta elettronica: la libreria "
                                        "libcurl non \u00E8 installata."));
    m_stato->curl = curl->easy_init();
    if (!m_stato->curl)
        throw ErroreFile(QStringLiteral("Impossibile avviare la posta elettronica (libcurl): "
                                        "memoria insufficiente."));
}

TClienteSmtp::~TClienteSmtp()
{
    if (m_stato->curl)
        LibCurl()->easy_cleanup(m_stato->curl);
}

TClienteSmtp::Esito TClienteSmtp::Invia(const QString &destinatario, const QByteArray &messaggio)
{
    const TImpostazioniPosta &p = m_impostazioni;
    Stato &s = *m_stato;
    CURL *c = s.curl;
    const TLibCurl &L = *LibCurl();
    Esito esito;
    const QString server = p.server.trimmed();
    if (!ServerValido(server)) {
        esito.tipo = Esito::Interrotto;
        esito.risposta = QStringLiteral("nome del server non valido");
        esito.messaggio =
            QStringLiteral("Il nome del server di posta \u00E8 scritto in modo non valido.");
        esito.delServer = true;
        esito.motivo = QStringLiteral("Server di posta non raggiungibile: il nome del server "
                                      "\u00E8 scritto in modo non valido.");
        return esito;
    }
    if (!p.utente.isEmpty() && !AccessoConsentito(p)) {
        // Refused before connecting: nothing of the login leaves this computer.
        esito.tipo = Esito::Interrotto;
        esito.risposta = QStringLiteral("autenticazione senza cifratura non consentita");
        esito.messaggio = MessaggioAccessoInChiaro(server);
        return esito;
    }
    const QString host = server.contains(u':') ? u'[' + server + u']' : server;
    const QByteArray url = (p.sicurezza == Sicurezza::SslTls ? "smtps://" : "smtp://") +
                           host.toLatin1() + ":" + QByteArray::number(p.porta);
    const QByteArray utente = p.utente.toUtf8();
    const QByteArray password = p.password.toUtf8();
    const QByteArray da = "<" + p.mittente.trimmed().toUtf8() + ">";
    const QByteArray a = "<" + destinatario.toUtf8() + ">";
    const QByteArray ca = p.fileCA.toLocal8Bit();

    s.dati = messaggio;
    s.letti = 0;
    s.ultimoComando.clear();
    s.ultimaRisposta.clear();
    s.rifiuto.clear();
    s.comandoRifiutato.clear();
    s.messaggioIniziato = false;
    s.errore[0] = 0;

    curl_slist *destinatari = L.slist_append(nullptr, a.constData());
    L.easy_setopt(c, CURLOPT_URL, url.constData());
    L.easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    L.easy_setopt(c, CURLOPT_USE_SSL,
                  p.sicurezza == Sicurezza::StartTls ? static_cast<long>(CURLUSESSL_ALL)
                                                     : static_cast<long>(CURLUSESSL_NONE));
    L.easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    L.easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!ca.isEmpty())
        L.easy_setopt(c, CURLOPT_CAINFO, ca.constData());
    if (!utente.isEmpty()) {
        L.easy_setopt(c, CURLOPT_USERNAME, utente.constData());
        L.easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }
    L.easy_setopt(c, CURLOPT_MAIL_FROM, da.constData());
    L.easy_setopt(c, CURLOPT_MAIL_RCPT, destinatari);
    L.easy_setopt(c, CURLOPT_UPLOAD, 1L);
    L.easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(messaggio.size()));
    L.easy_setopt(c, CURLOPT_READFUNCTION, &Stato::Leggi);
    L.easy_setopt(c, CURLOPT_READDATA, &s);
    L.easy_setopt(c, CURLOPT_VERBOSE, 1L);
    L.easy_setopt(c, CURLOPT_DEBUGFUNCTION, &Stato::Traccia);
    L.easy_setopt(c, CURLOPT_DEBUGDATA, &s);
    L.easy_setopt(c, CURLOPT_ERRORBUFFER, s.errore);
    L.easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    // 20 seconds for each step: connecting, each answer, and any stall while sending.
    L.easy_setopt(c, CURLOPT_CONNECTTIMEOUT, static_cast<long>(SecondiPerPasso));
    L.easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(SecondiPerPasso));
    L.easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    L.easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(SecondiPerPasso));

    const CURLcode rc = L.easy_perform(c);
    L.slist_free_all(destinatari);
    long nuove = 0;
    L.easy_getinfo(c, CURLINFO_NUM_CONNECTS, &nuove);
    m_connessioni += static_cast<int>(nuove);
    // No pointer into this call's buffers stays behind in the handle.
    L.easy_setopt(c, CURLOPT_MAIL_RCPT, static_cast<curl_slist *>(nullptr));
    L.easy_setopt(c, CURLOPT_ERRORBUFFER, static_cast<char *>(nullptr));

    const QString risposta = QString::fromUtf8(s.rifiuto.isEmpty() ? s.ultimaRisposta : s.rifiuto);
    const QString dove = server + u':' + QString::number(p.porta);
    if (rc == CURLE_OK) {
        esito.risposta = risposta;
        return esito;
    }
    esito.risposta = !risposta.isEmpty() ? risposta : QString::fromUtf8(s.errore);
    if (esito.risposta.isEmpty())
        esito.risposta = QString::fromUtf8(L.easy_strerror(rc));
    const int codice = s.rifiuto.left(3).toInt();
    const QByteArray comando = s.comandoRifiutato.left(4).toUpper();
    if (codice >= 400 && codice < 600 &&
        (comando == "MAIL" || comando == "RCPT" || comando == "DATA") && rc != CURLE_LOGIN_DENIED) {
        esito.tipo = Esito::Rifiutato;
        return esito;
    }
    esito.tipo = Esito::Interrotto;
    esito.delServer = !s.messaggioIniziato;
    switch (rc) {
    case CURLE_LOGIN_DENIED:
        esito.messaggio = QStringLiteral("Il server di posta ha rifiutato il nome utente o la "
                                         "password: controllare le impostazioni di posta.");
        esito.motivo = QStringLiteral("Accesso al server rifiutato: %1 non ha accettato il nome "
                                      "utente o la password%2.")
                           .arg(dove, Codici(risposta));
        break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        esito.messaggio =
            QStringLiteral("Impossibile collegarsi al server di posta %1: controllare il nome "
                           "del server, la porta e la connessione di rete.")
                .arg(dove);
        esito.motivo = rc == CURLE_COULDNT_RESOLVE_HOST
                           ? QStringLiteral("Server di posta non raggiungibile: il nome %1 non "
                                            "\u00E8 stato trovato.")
                                 .arg(server)
                           : QStringLiteral("Server di posta non raggiungibile: %1 non accetta "
                                            "il collegamento.")
                                 .arg(dove);
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ISSUER_ERROR:
        esito.messaggio = QStringLiteral("Il certificato del server di posta %1 non \u00E8 "
                                         "valido o non \u00E8 riconosciuto: la connessione "
                                         "sicura non \u00E8 stata stabilita.")
                              .arg(dove);
        esito.motivo = QStringLiteral("Connessione sicura non stabilita: il certificato di %1 "
                                      "non \u00E8 valido o non \u00E8 riconosciuto.")
                           .arg(dove);
        break;
    case CURLE_USE_SSL_FAILED:
        esito.messaggio = QStringLiteral("Il server di posta %1 non offre la connessione "
                                         "sicura STARTTLS.")
                              .arg(dove);
        esito.motivo =
            QStringLiteral("Connessione sicura non stabilita: %1 non offre STARTTLS.").arg(dove);
        break;
    case CURLE_OPERATION_TIMEDOUT:
        esito.messaggio = QStringLiteral("Il server di posta %1 non ha risposto entro %2 secondi.")
                              .arg(dove)
                              .arg(SecondiPerPasso);
        esito.motivo = QStringLiteral("Server di posta non raggiungibile: %1 non ha risposto "
                                      "entro %2 secondi.")
                           .arg(dove)
                           .arg(SecondiPerPasso);
        break;
    default:
        esito.messaggio = QStringLiteral("La connessione con il server di posta %1 si \u00E8 "
                                         "interrotta (%2).")
                              .arg(dove, esito.risposta);
        esito.motivo = QStringLiteral("Collegamento con il server di posta non riuscito: %1, "
                                      "errore %2%3.")
                           .arg(dove)
                           .arg(static_cast<int>(rc))
                           .arg(Codici(risposta));
        break;
    }
    return esito;
}
