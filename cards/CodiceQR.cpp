#include "cards/CodiceQR.h"

#include <qrencode.h>

#include <algorithm>
#include <memory>

namespace CodiceQR {

TMatrice Codifica(const QString &testo)
{
    TMatrice m;
    const QByteArray utf8 = testo.toUtf8();
    if (utf8.isEmpty())
        return m;
    std::unique_ptr<QRcode, decltype(&QRcode_free)> codice(
        QRcode_encodeData(int(utf8.size()), reinterpret_cast<const unsigned char *>(utf8.data()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!codice || codice->width <= 0)
        return m;
    m.lato = codice->width;
    m.scuri.resize(size_t(m.lato) * size_t(m.lato));
    // Bit 0 of each byte is the module's colour; the other bits describe its role.
    for (size_t i = 0; i < m.scuri.size(); ++i)
        m.scuri[i] = (codice->data[i] & 1) != 0;
    return m;
}

void Aggiungi(TReportPage &pagina, const QString &testo, const QRectF &area, const QString &nome)
{
    const TMatrice m = Codifica(testo);
    if (m.lato == 0)
        return;
    auto &fondo =
        pagina.Add<TShapeView>(nome, area.left(), area.top(), area.width(), area.height());
    fondo.Color = Colori::White;
    fondo.Frame.Color = Colori::White;

    const double passo = std::min(area.width(), area.height()) / (m.lato + 2 * ZonaMuta);
    const double x0 = area.left() + ZonaMuta * passo;
    const double y0 = area.top() + ZonaMuta * passo;
    const QString nomeModuli = nome + QStringLiteral("Moduli");
    // Runs of dark modules along each row; a run with the same ends in the rows below
    // grows down instead of starting a new rectangle (fewer objects, no seams).
    struct Corsa {
        int inizio, fine, riga, righe;
    };
    std::vector<Corsa> aperte, chiuse;
    for (int y = 0; y < m.lato; ++y) {
        std::vector<Corsa> riga;
        for (int x = 0; x < m.lato;) {
            if (!m.Scuro(x, y)) {
                ++x;
                continue;
            }
            int fine = x;
            while (fine < m.lato && m.Scuro(fine, y))
                ++fine;
            riga.push_back({x, fine, y, 1});
            x = fine;
        }
        std::vector<Corsa> nuove;
        for (Corsa &c : riga) {
            auto sopra = std::find_if(aperte.begin(), aperte.end(), [&](const Corsa &a) {
                return a.inizio == c.inizio && a.fine == c.fine;
            });
            if (sopra != aperte.end()) {
                c.riga = sopra->riga;
                c.righe = sopra->righe + 1;
                aperte.erase(sopra);
            }
            nuove.push_back(c);
        }
        chiuse.insert(chiuse.end(), aperte.begin(), aperte.end());
        aperte = std::move(nuove);
    }
    chiuse.insert(chiuse.end(), aperte.begin(), aperte.end());
    for (const Corsa &c : chiuse) {
        auto &s = pagina.Add<TShapeView>(nomeModuli, x0 + c.inizio * passo, y0 + c.riga * passo,
                                         (c.fine - c.inizio) * passo, c.righe * passo);
        s.Color = Colori::Black;
        s.Frame.Color = Colori::Black;
        // A thin outline: the fill already covers the module.
        s.Frame.Width = passo / 4;
    }
}

void Rimuovi(TReportPage &pagina, const QString &nome)
{
    const QString nomeModuli = nome + QStringLiteral("Moduli");
    std::erase_if(pagina.Objects, [&](const std::unique_ptr<TReportComponent> &o) {
        return o->Name.compare(nome, Qt::CaseInsensitive) == 0 ||
               o->Name.compare(nomeModuli, Qt::CaseInsensitive) == 0;
    });
}

} // namespace CodiceQR
