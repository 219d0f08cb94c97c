#include "cards/core/CodiceQR.h"

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
    // ECI 26 says the bytes are UTF-8: without it readers take them for ISO 8859-1 and
    // "Lucà" comes out as "LucÃ ".
    std::unique_ptr<QRinput, decltype(&QRinput_free)> dati(QRinput_new2(0, QR_ECLEVEL_M),
                                                           &QRinput_free);
    if (!dati || QRinput_appendECIheader(dati.get(), 26) != 0 ||
        QRinput_append(dati.get(), QR_MODE_8, int(utf8.size()),
                       reinterpret_cast<const unsigned char *>(utf8.data())) != 0)
        return m;
    std::unique_ptr<QRcode, decltype(&QRcode_free)> codice(QRcode_encodeInput(dati.get()),
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
    // The modules' shape: its corner inside the quiet zone, each run from that corner.
    const double x0 = area.left() + ZonaMuta * passo;
    const double y0 = area.top() + ZonaMuta * passo;
    const QString nomeModuli = nome + QStringLiteral("Moduli");
    // Greedy rectangles: from each dark module not yet covered, as far right as the row
    // stays dark, then as far down as those whole rows stay dark. Fewer rectangles make a
    // shorter PDF.
    struct Riquadro {
        int x, y, larghezza, altezza;
    };
    std::vector<Riquadro> riquadri;
    std::vector<bool> coperto(m.scuri.size(), false);
    auto libero = [&](int x, int y) {
        return m.Scuro(x, y) && !coperto[size_t(y) * size_t(m.lato) + size_t(x)];
    };
    for (int y = 0; y < m.lato; ++y)
        for (int x = 0; x < m.lato; ++x) {
            if (!libero(x, y))
                continue;
            int fine = x;
            while (fine < m.lato && libero(fine, y))
                ++fine;
            int sotto = y + 1;
            for (; sotto < m.lato; ++sotto) {
                bool piena = true;
                for (int i = x; i < fine && piena; ++i)
                    piena = libero(i, sotto);
                if (!piena)
                    break;
            }
            for (int r = y; r < sotto; ++r)
                for (int i = x; i < fine; ++i)
                    coperto[size_t(r) * size_t(m.lato) + size_t(i)] = true;
            riquadri.push_back({x, y, fine - x, sotto - y});
        }
    auto &moduli = pagina.Add<TShapeView>(nomeModuli, x0, y0, m.lato * passo, m.lato * passo);
    moduli.Color = Colori::Black;
    moduli.Riquadri.reserve(riquadri.size());
    for (const Riquadro &q : riquadri)
        moduli.Riquadri.emplace_back(q.x * passo, q.y * passo, q.larghezza * passo,
                                     q.altezza * passo);
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
