#pragma once
// The advice that ends the screens' archive failure messages: on the folder, the write
// privileges of the program folder; on a desk that works on the archive's server, the
// connection to it.
#include <QString>

namespace ConsiglioArchivio {

// The folder's advice, as the messages give it.
inline const QString Cartella = QStringLiteral(
    "Accertarsi di possedere i privilegi di scrittura nella cartella di installazione del "
    "programma");
// The server's advice.
inline const QString Server = QStringLiteral("Verificare il collegamento al server dell'archivio");

// Whether the desk of the program folder works on the archive's server.
bool SulServer();
// The message as it stands for the folder; on the server, with the folder's advice
// replaced by the server's.
QString Adatta(const QString &messaggio);

} // namespace ConsiglioArchivio
