#pragma once
// Dated copies of the archive made before each import, so that the last import can be
// undone: in "Copie importazioni", one folder per import with the archive as it was,
// the photos the import replaced, and what the import left (the archive's size and
// time of change, the photos it wrote). The last five are kept.
#include "storage/Deposito.h"

#include <QList>
#include <QString>

namespace CopieImportazione {

inline const QString NomeCartella = QStringLiteral("Copie importazioni");
inline constexpr int Tenute = 5;

// One copy in the making. Nothing of it counts until Conferma; a copy dropped before
// that removes its folder.
class TCopia {
public:
    // Makes the folder and copies the archive of `cartella` into it, and the photos of
    // the positions the import is about to write. Throws ErroreFile.
    TCopia(const QString &cartella, const QList<int> &foto);
    ~TCopia();
    TCopia(const TCopia &) = delete;
    TCopia &operator=(const TCopia &) = delete;
    // Records what the import left, once the new archive is in place, and drops the
    // oldest copies beyond the last five. False when the record cannot be written.
    bool Conferma();

private:
    QString m_cartella, m_copia;
    QList<int> m_foto, m_salvate;
    bool m_confermata = false;
};

using Ripristino = TDeposito::RipristinoImportazione;
// Puts back the archive and photos of the last import's copy, when the archive is still
// as that import left it; otherwise says why not.
Ripristino AnnullaUltima(const QString &cartella);

} // namespace CopieImportazione
