// The server's photos: the JPEG bytes as the folder would store them, one row per record.
#include "storage/DepositoServer.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

QImage TDepositoServer::LeggiFoto(int posizione)
{
    try {
        const QByteArray byte = Tenta(
            [&] {
                QSqlQuery &q =
                    Prepara(QStringLiteral("SELECT immagine FROM foto WHERE posizione = :p"));
                q.bindValue(QStringLiteral(":p"), posizione);
                Esegui(q, QStringLiteral("leggere la foto"));
                const QByteArray b = q.next() ? q.value(0).toByteArray() : QByteArray();
                q.finish();
                return b;
            },
            true);
        return ImmagineServer(byte);
    } catch (const ErroreFile &) {
        return QImage();
    }
}

bool TDepositoServer::EsisteFoto(int posizione)
{
    return Tenta(
        [&] {
            QSqlQuery &q = Prepara(QStringLiteral("SELECT 1 FROM foto WHERE posizione = :p"));
            q.bindValue(QStringLiteral(":p"), posizione);
            Esegui(q, QStringLiteral("cercare la foto"));
            const bool c = q.next();
            q.finish();
            return c;
        },
        true);
}

bool TDepositoServer::ScriviFoto(int posizione, const QImage &foto)
{
    if (foto.isNull())
        return false;
    // Encoded as ScriviJpeg writes the folder's file: on white, quality 92.
    QImage piena(foto.size(), QImage::Format_RGB32);
    piena.fill(Qt::white);
    {
        QPainter p(&piena);
        p.drawImage(0, 0, foto);
    }
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    QImageWriter w(&jpeg, "jpg");
    w.setQuality(92);
    return w.write(piena) && ScriviFotoJpeg(posizione, jpeg.data());
}

bool TDepositoServer::ScriviFotoJpeg(int posizione, const QByteArray &jpeg)
{
    // Storing the same bytes twice leaves one photo: safe to send again.
    try {
        Tenta(
            [&] {
                QSqlQuery &q = Prepara(QStringLiteral(
                    "INSERT INTO foto (posizione, immagine) VALUES (:p, :b) ON CONFLICT "
                    "(posizione) DO UPDATE SET immagine = EXCLUDED.immagine"));
                q.bindValue(QStringLiteral(":p"), posizione);
                q.bindValue(QStringLiteral(":b"), jpeg);
                Esegui(q, QStringLiteral("scrivere la foto"));
                q.finish();
            },
            true);
        return true;
    } catch (const ErroreFile &) {
        return false;
    }
}

bool TDepositoServer::FotoLeggibile(int posizione)
{
    // The header alone, as the folder's check reads it.
    try {
        QByteArray testa = Tenta(
            [&] {
                QSqlQuery &q = Prepara(QStringLiteral(
                    "SELECT substring(immagine FROM 1 FOR 4096) FROM foto WHERE posizione = :p"));
                q.bindValue(QStringLiteral(":p"), posizione);
                Esegui(q, QStringLiteral("leggere la foto"));
                const QByteArray b = q.next() ? q.value(0).toByteArray() : QByteArray();
                q.finish();
                return b;
            },
            true);
        if (testa.isEmpty())
            return false;
        QBuffer buffer(&testa);
        buffer.open(QIODevice::ReadOnly);
        return QImageReader(&buffer).canRead();
    } catch (const ErroreFile &) {
        return false;
    }
}
