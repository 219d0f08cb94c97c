#include "platform/Fotocamera.h"

#include "platform/SorgenteFotogrammi.h"

#include <QCamera>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>

namespace {
// Wraps Qt Multimedia's default camera. Frames arrive through a video sink and are
// handed on as images on the user-interface thread.
class FotocameraQt : public SorgenteFotogrammi {
public:
    explicit FotocameraQt(QObject *parent) : SorgenteFotogrammi(parent)
    {
        const QCameraDevice dispositivo = QMediaDevices::defaultVideoInput();
        if (dispositivo.isNull())
            return;
        m_camera = new QCamera(dispositivo, this);
        m_sink = new QVideoSink(this);
        m_sessione.setCamera(m_camera);
        m_sessione.setVideoSink(m_sink);
        connect(m_sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame &f) {
            const QImage img = f.toImage();
            if (!img.isNull())
                emit Fotogramma(img);
        });
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
    QCamera *m_camera = nullptr;
    QVideoSink *m_sink = nullptr;
    QMediaCaptureSession m_sessione;
};
} // namespace

std::unique_ptr<SorgenteFotogrammi> CreaFotocameraPredefinita(QObject *parent)
{
    return std::make_unique<FotocameraQt>(parent);
}
