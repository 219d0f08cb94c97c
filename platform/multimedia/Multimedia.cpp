// The module libquorvel_multimedia.so: Qt Multimedia's default camera and sound effects.
#include "platform/ModuloMultimedia.h"

#include <QAudioDevice>
#include <QCamera>
#include <QCoreApplication>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

#include <map>
#include <memory>

namespace {
// Frames may arrive on the camera's own thread: each is converted there and handed on.
class FotocameraQt final : public TFotocameraModulo {
public:
    explicit FotocameraQt(std::function<void(const QImage &)> consegna)
    {
        const QCameraDevice dispositivo = QMediaDevices::defaultVideoInput();
        if (dispositivo.isNull())
            return;
        m_camera = std::make_unique<QCamera>(dispositivo);
        m_sink = std::make_unique<QVideoSink>();
        m_sessione.setCamera(m_camera.get());
        m_sessione.setVideoSink(m_sink.get());
        QObject::connect(
            m_sink.get(), &QVideoSink::videoFrameChanged, m_sink.get(),
            [consegna = std::move(consegna)](const QVideoFrame &f) { consegna(f.toImage()); },
            Qt::DirectConnection);
    }

    ~FotocameraQt() override
    {
        Ferma();
        if (m_sink)
            QObject::disconnect(m_sink.get(), nullptr, nullptr, nullptr);
    }

    bool Disponibile() const override { return m_camera != nullptr; }
    void Avvia() override
    {
        if (m_camera)
            m_camera->start();
    }
    void Ferma() override
    {
        if (m_camera)
            m_camera->stop();
    }
    bool Attiva() const override { return m_camera && m_camera->isActive(); }

private:
    std::unique_ptr<QCamera> m_camera;
    std::unique_ptr<QVideoSink> m_sink;
    QMediaCaptureSession m_sessione;
};

TFotocameraModulo *Fotocamera(std::function<void(const QImage &)> consegna)
{
    return new FotocameraQt(std::move(consegna));
}

void Suona(const QString &risorsa)
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    // One effect per sound for the whole run, freed with the application.
    static std::map<QString, QPointer<QSoundEffect>> effetti;
    QPointer<QSoundEffect> &effetto = effetti[risorsa];
    if (!effetto) {
        effetto = new QSoundEffect(QCoreApplication::instance());
        effetto->setSource(QUrl(QStringLiteral("qrc") + risorsa));
    }
    effetto->play();
}
} // namespace

extern "C" __attribute__((visibility("default"))) const TModuloMultimedia *quorvel_multimedia()
{
    static const TModuloMultimedia modulo{&Fotocamera, &Suona};
    return &modulo;
}
