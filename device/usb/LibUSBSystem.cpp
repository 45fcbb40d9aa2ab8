#include "device/usb/LibUSBSystem.h"

LibUSBApi::~LibUSBApi() = default;

QSharedPointer<LibUSBApi> LibUSBApi::system()
{
    static const QSharedPointer<LibUSBApi> instance(new LibUSBSystem);
    return instance;
}

int LibUSBSystem::init(libusb_context** context)
{
    return libusb_init(context);
}
void LibUSBSystem::exit(libusb_context* context)
{
    libusb_exit(context);
}

int LibUSBSystem::setLogLevel(libusb_context* context, int level)
{
    return libusb_set_option(context, LIBUSB_OPTION_LOG_LEVEL, level);
}

ssize_t LibUSBSystem::getDeviceList(libusb_context* context, libusb_device*** list)
{
    return libusb_get_device_list(context, list);
}

void LibUSBSystem::freeDeviceList(libusb_device** list, int unrefDevices)
{
    libusb_free_device_list(list, unrefDevices);
}

int LibUSBSystem::getDeviceDescriptor(libusb_device* device, libusb_device_descriptor* descriptor)
{
    return libusb_get_device_descriptor(device, descriptor);
}

uint8_t LibUSBSystem::getBusNumber(libusb_device* device)
{
    return libusb_get_bus_number(device);
}
uint8_t LibUSBSystem::getPortNumber(libusb_device* device)
{
    return libusb_get_port_number(device);
}
uint8_t LibUSBSystem::getDeviceAddress(libusb_device* device)
{
    return libusb_get_device_address(device);
}
int LibUSBSystem::getDeviceSpeed(libusb_device* device)
{
    return libusb_get_device_speed(device);
}

int LibUSBSystem::open(libusb_device* device, libusb_device_handle** handle)
{
    return libusb_open(device, handle);
}
void LibUSBSystem::close(libusb_device_handle* handle)
{
    libusb_close(handle);
}

int LibUSBSystem::getStringDescriptorAscii(libusb_device_handle* handle, uint8_t index, unsigned char* data, int length)
{
    return libusb_get_string_descriptor_ascii(handle, index, data, length);
}

int LibUSBSystem::getConfigDescriptor(libusb_device* device, uint8_t index, libusb_config_descriptor** config)
{
    return libusb_get_config_descriptor(device, index, config);
}

void LibUSBSystem::freeConfigDescriptor(libusb_config_descriptor* config)
{
    libusb_free_config_descriptor(config);
}

int LibUSBSystem::getSsEndpointCompanionDescriptor(libusb_context* context, const libusb_endpoint_descriptor* endpoint,
                                                   libusb_ss_endpoint_companion_descriptor** companion)
{
    return libusb_get_ss_endpoint_companion_descriptor(context, endpoint, companion);
}

void LibUSBSystem::freeSsEndpointCompanionDescriptor(libusb_ss_endpoint_companion_descriptor* companion)
{
    libusb_free_ss_endpoint_companion_descriptor(companion);
}

int LibUSBSystem::kernelDriverActive(libusb_device_handle* handle, int interfaceNumber)
{
    return libusb_kernel_driver_active(handle, interfaceNumber);
}

int LibUSBSystem::detachKernelDriver(libusb_device_handle* handle, int interfaceNumber)
{
    return libusb_detach_kernel_driver(handle, interfaceNumber);
}

int LibUSBSystem::getConfiguration(libusb_device_handle* handle, int* configuration)
{
    return libusb_get_configuration(handle, configuration);
}

int LibUSBSystem::setConfiguration(libusb_device_handle* handle, int configuration)
{
    return libusb_set_configuration(handle, configuration);
}

int LibUSBSystem::claimInterface(libusb_device_handle* handle, int interfaceNumber)
{
    return libusb_claim_interface(handle, interfaceNumber);
}

int LibUSBSystem::releaseInterface(libusb_device_handle* handle, int interfaceNumber)
{
    return libusb_release_interface(handle, interfaceNumber);
}

int LibUSBSystem::clearHalt(libusb_device_handle* handle, unsigned char endpoint)
{
    return libusb_clear_halt(handle, endpoint);
}

int LibUSBSystem::controlTransfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request, uint16_t value,
                                  uint16_t index, unsigned char* data, uint16_t length, unsigned int timeoutMs)
{
    return libusb_control_transfer(handle, requestType, request, value, index, data, length, timeoutMs);
}

libusb_transfer* LibUSBSystem::allocTransfer(int isoPackets)
{
    return libusb_alloc_transfer(isoPackets);
}
int LibUSBSystem::submitTransfer(libusb_transfer* transfer)
{
    return libusb_submit_transfer(transfer);
}
int LibUSBSystem::cancelTransfer(libusb_transfer* transfer)
{
    return libusb_cancel_transfer(transfer);
}
void LibUSBSystem::freeTransfer(libusb_transfer* transfer)
{
    libusb_free_transfer(transfer);
}

int LibUSBSystem::handleEvents(libusb_context* context)
{
    return libusb_handle_events(context);
}
void LibUSBSystem::interruptEventHandler(libusb_context* context)
{
    libusb_interrupt_event_handler(context);
}
