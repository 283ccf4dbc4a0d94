#pragma once
// The document of a rename window. It holds no data: the rename view keeps everything; the
// class exists so that the application creates rename windows the way it creates documents.

#include <QObject>

namespace tidemark::app {

class CTMKDoc : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
};

}  // namespace tidemark::app
