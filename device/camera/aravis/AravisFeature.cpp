#include "device/camera/aravis/AravisFeature.h"

AravisFeature::AravisFeature(ArvCamera* camera, const QStringList& names)
    : m_camera(camera)
{
    g_object_ref(m_camera);
    for (const QString& name : names) {
        const QByteArray bytes = name.toLatin1();
        ArvGcNode* node = arv_device_get_feature(device(), bytes.constData());
        if (!node || !ARV_IS_GC_FEATURE_NODE(node))
            continue;
        GError* error = nullptr;
        const bool available = arv_gc_feature_node_is_available(ARV_GC_FEATURE_NODE(node), &error);
        if (succeeded(error) && available) {
            m_node = node;
            m_name = bytes;
            break;
        }
    }
}

AravisFeature::~AravisFeature()
{
    g_object_unref(m_camera);
}

ArvDevice* AravisFeature::device() const
{
    return arv_camera_get_device(m_camera);
}

bool AravisFeature::succeeded(GError* error)
{
    if (!error)
        return true;
    g_error_free(error);
    return false;
}
