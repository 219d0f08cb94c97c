#pragma once
// The real default camera, wrapped as a frame source.
#include <memory>

class QObject;
class SorgenteFotogrammi;

std::unique_ptr<SorgenteFotogrammi> CreaFotocameraPredefinita(QObject *parent);
