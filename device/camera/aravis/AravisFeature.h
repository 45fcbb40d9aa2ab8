#pragma once

#include <arv.h>

#include <QString>
#include <QStringList>

// A GenICam feature of an open Aravis camera, looked up by the first of its
// usual names that the camera offers and has available.
class AravisFeature
{
public:
    AravisFeature(ArvCamera* camera, const QStringList& names);
    ~AravisFeature();

    AravisFeature(const AravisFeature&) = delete;
    AravisFeature& operator=(const AravisFeature&) = delete;

    bool isPresent() const { return m_node != nullptr; }
    ArvGcNode* node() const { return m_node; }
    QByteArray name() const { return m_name; }
    ArvDevice* device() const;

    // Runs one Aravis call and tells whether it reported an error.
    static bool succeeded(GError* error);

private:
    ArvCamera* m_camera = nullptr;
    ArvGcNode* m_node = nullptr;
    QByteArray m_name;
};
