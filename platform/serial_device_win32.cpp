#include "platform/serial_device.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/win32_text.h"

namespace pl3::platform {

struct SerialDevice::Impl {
    std::mutex mutex;
    // Signalled when the last user of the handle leaves and when a close has finished.
    std::condition_variable changed;
    HANDLE handle = INVALID_HANDLE_VALUE;
    // Set by close(): every wait includes it, so that waiters leave at once.
    HANDLE wake = nullptr;
    // Signalled by the driver when a read or a write is done; made once, as Windows makes
    // every event through the kernel (the wineserver under Wine).
    HANDLE readDone = nullptr;
    HANDLE writeDone = nullptr;
    int users = 0;
    bool closing = false;
    std::atomic<bool> open{false};
    std::atomic<bool> hungUp{false};
    // The read time-out the driver holds now, so that it is set only when it changes.
    DWORD readTimeoutMs = 0;
    bool readTimeoutSet = false;
    int baud = 0;
    // When the bytes written last have left the wire (what a reply cannot come before).
    std::chrono::steady_clock::time_point wireFreeAt{};

    // Holds the handle for one read, write or pause; close() waits until every holder has
    // left. Empty when the device is closed or closing.
    class Use {
      public:
        explicit Use(Impl& impl) : impl_(impl) {
            std::lock_guard lock(impl_.mutex);
            if (impl_.handle == INVALID_HANDLE_VALUE || impl_.closing) return;
            handle_ = impl_.handle;
            ++impl_.users;
        }
        ~Use() {
            if (handle_ == INVALID_HANDLE_VALUE) return;
            std::lock_guard lock(impl_.mutex);
            if (--impl_.users == 0) impl_.changed.notify_all();
        }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
        HANDLE handle() const { return handle_; }

      private:
        Impl& impl_;
        HANDLE handle_ = INVALID_HANDLE_VALUE;
    };
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr long long kBitsPerByte = 10;  // 8N1: a start bit, 8 data bits, a stop bit

enum class Transfer { Done, Woken, Failed };

// Starts a read or write that signals `done` and waits for it, or for close(). On Woken
// the transfer has been cancelled and waited for; *count holds what it moved.
template <typename Start>
Transfer transfer(HANDLE handle, HANDLE done, HANDLE wake, Start start, DWORD* count,
                  DWORD* error) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = done;  // the start of the transfer resets it
    *count = 0;
    *error = 0;
    if (start(&overlapped)) {
        ::GetOverlappedResult(handle, &overlapped, count, FALSE);
        return Transfer::Done;
    }
    if (::GetLastError() != ERROR_IO_PENDING) {
        *error = ::GetLastError();
        return Transfer::Failed;
    }
    HANDLE waits[2] = {done, wake};
    const bool woken = ::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
    if (woken) ::CancelIoEx(handle, &overlapped);
    if (!::GetOverlappedResult(handle, &overlapped, count, TRUE)) {
        *error = ::GetLastError();
        return woken ? Transfer::Woken : Transfer::Failed;
    }
    return woken ? Transfer::Woken : Transfer::Done;
}

// What a failing transfer on a serial port means: the device went away (a USB adapter
// pulled out, the other end of a pipe gone) or something else.
bool isHangUpError(DWORD error) {
    switch (error) {
        case ERROR_BROKEN_PIPE:
        case ERROR_NOT_READY:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_GEN_FAILURE:
        case ERROR_BAD_COMMAND:
        case ERROR_ACCESS_DENIED:
        case ERROR_OPERATION_ABORTED:
        case ERROR_INVALID_HANDLE:
        case ERROR_FILE_NOT_FOUND:
            return true;
        default:
            return false;
    }
}

// "COM12" and "com12" name \\.\COM12 (the only spelling that reaches COM10 and above);
// a name with a folder in it is taken as it is.
std::wstring deviceName(const std::string& path) {
    if (path.find_first_of("\\/:") != std::string::npos) return win32::wide(path);
    return L"\\\\.\\" + win32::wide(path);
}

bool isFolder(const std::wstring& name) {
    DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

SerialOpenError classifyOpenError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_NOT_READY:
            return SerialOpenError::NoSuchDevice;
        // A COM port is open to one program at a time; Windows answers "access denied" to
        // the next one.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            return SerialOpenError::Busy;
        default:
            return SerialOpenError::Other;
    }
}

bool fail(SerialOpenFailure* failure, SerialOpenError error, DWORD win32Error) {
    if (failure != nullptr)
        *failure = SerialOpenFailure{error, win32::errnoOf(win32Error), std::string()};
    return false;
}

bool supportedBaud(int baud) {
    return baud == 9600 || baud == 19200 || baud == 38400 || baud == 57600 || baud == 115200;
}

// Raw 8N1 without flow control. DTR and RTS are raised: programming cables commonly draw
// their power from them. Drivers without modem lines (Wine on a pseudo-terminal) refuse
// them, which is no reason to refuse the port.
bool applyLineSettings(HANDLE handle, int baud) {
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!::GetCommState(handle, &settings)) return false;
    settings.BaudRate = static_cast<DWORD>(baud);
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDsrSensitivity = FALSE;
    settings.fOutX = FALSE;
    settings.fInX = FALSE;
    settings.fNull = FALSE;
    settings.fErrorChar = FALSE;
    settings.fAbortOnError = FALSE;
    settings.fDtrControl = DTR_CONTROL_ENABLE;
    settings.fRtsControl = RTS_CONTROL_ENABLE;
    if (::SetCommState(handle, &settings)) return true;
    settings.fDtrControl = DTR_CONTROL_DISABLE;
    settings.fRtsControl = RTS_CONTROL_DISABLE;
    return ::SetCommState(handle, &settings) != 0;
}

// Writes wait as long as it takes (close() ends them); reads get their time-out per call.
bool applyTimeouts(HANDLE handle) {
    COMMTIMEOUTS timeouts{};
    return ::SetCommTimeouts(handle, &timeouts) != 0;
}

// The bytes the driver holds for us; 0 when it cannot tell.
DWORD bytesWaiting(HANDLE handle) {
    COMSTAT status{};
    DWORD errors = 0;
    return ::ClearCommError(handle, &errors, &status) ? status.cbInQue : 0;
}

}  // namespace

SerialDevice::SerialDevice() : impl_(new Impl) {}

SerialDevice::~SerialDevice() {
    close();
    for (HANDLE event : {impl_->wake, impl_->readDone, impl_->writeDone}) {
        if (event != nullptr) ::CloseHandle(event);
    }
    delete impl_;
}

bool SerialDevice::open(const std::string& path, int baud, SerialOpenFailure* failure) {
    close();
    path_ = path;
    if (failure != nullptr) *failure = SerialOpenFailure{};
    if (!supportedBaud(baud)) return fail(failure, SerialOpenError::Other, ERROR_INVALID_PARAMETER);

    {
        std::lock_guard lock(impl_->mutex);
        for (HANDLE* event : {&impl_->wake, &impl_->readDone, &impl_->writeDone}) {
            if (*event == nullptr) *event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
            if (*event == nullptr) return fail(failure, SerialOpenError::Other, ::GetLastError());
        }
    }

    const std::wstring name = deviceName(path);
    // No sharing: the port is ours alone while it is open.
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED && isFolder(name))
            return fail(failure, SerialOpenError::NotASerialDevice, error);
        return fail(failure, classifyOpenError(error), error);
    }
    // A file, a printer or a console answers nothing a serial port does.
    DCB probe{};
    probe.DCBlength = sizeof probe;
    if (::GetFileType(handle) != FILE_TYPE_CHAR || !::GetCommState(handle, &probe)) {
        ::CloseHandle(handle);
        return fail(failure, SerialOpenError::NotASerialDevice, ERROR_INVALID_FUNCTION);
    }
    if (!applyLineSettings(handle, baud) || !applyTimeouts(handle)) {
        DWORD error = ::GetLastError();
        ::CloseHandle(handle);
        return fail(failure, SerialOpenError::Other, error);
    }
    // Whatever the radio sent before we were listening belongs to no exchange of ours.
    ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    // The pause before each frame is a millisecond; the default timer step is 15.6 ms.
    ::timeBeginPeriod(1);

    std::lock_guard lock(impl_->mutex);
    impl_->handle = handle;
    impl_->readTimeoutSet = false;
    impl_->baud = baud;
    impl_->hungUp.store(false);
    impl_->open.store(true);
    return true;
}

void SerialDevice::setBaud(int baud) {
    if (!supportedBaud(baud)) return;
    Impl::Use use(*impl_);
    if (!use) return;
    DCB settings{};
    settings.DCBlength = sizeof settings;
    if (!::GetCommState(use.handle(), &settings)) return;
    settings.BaudRate = static_cast<DWORD>(baud);
    if (::SetCommState(use.handle(), &settings)) impl_->baud = baud;
}

int SerialDevice::write(const std::uint8_t* data, int count) {
    if (count <= 0) return 0;
    Impl::Use use(*impl_);
    if (!use) return 0;
    int done = 0;
    while (done < count) {
        DWORD written = 0;
        DWORD error = 0;
        Transfer result = transfer(
            use.handle(), impl_->writeDone, impl_->wake,
            [&](OVERLAPPED* overlapped) {
                return ::WriteFile(use.handle(), data + done, static_cast<DWORD>(count - done),
                                   nullptr, overlapped) != 0;
            },
            &written, &error);
        done += static_cast<int>(written);
        if (impl_->baud > 0) {
            impl_->wireFreeAt =
                std::max(impl_->wireFreeAt, Clock::now()) +
                std::chrono::microseconds(written * kBitsPerByte * 1'000'000LL / impl_->baud);
        }
        if (result == Transfer::Woken) break;
        if (result == Transfer::Failed) {
            if (isHangUpError(error)) impl_->hungUp.store(true);
            break;
        }
        if (written == 0) {  // a port that takes nothing is gone
            impl_->hungUp.store(true);
            break;
        }
    }
    return done;
}

int SerialDevice::read(std::uint8_t* buffer, int count, int timeoutMs) {
    if (count <= 0) return 0;
    Impl::Use use(*impl_);
    if (!use) return 0;
    HANDLE handle = use.handle();
    const Clock::time_point started = Clock::now();
    const Clock::time_point deadline = started + std::chrono::milliseconds(std::max(timeoutMs, 0));
    DWORD wanted = static_cast<DWORD>(count);
    const DWORD waiting = bytesWaiting(handle);
    DWORD timeout = 1;  // the bytes are there: the read takes them at once
    if (timeoutMs <= 0) {
        // One look: only what the driver already holds. (Asking the driver to return at
        // once with whatever it has is the time-out setting Wine waits out instead.)
        wanted = std::min(wanted, waiting);
        if (wanted == 0) return 0;
    } else {
        // The bytes still to come cannot arrive sooner than their time on the wire, after
        // what was written last: wait that long before asking the driver, which then
        // answers once per frame rather than waking this thread for every byte (as Wine
        // does, a millisecond a frame).
        if (waiting < wanted && impl_->baud > 0) {
            const Clock::time_point earliest =
                std::max(started, impl_->wireFreeAt) +
                std::chrono::microseconds((wanted - waiting) * kBitsPerByte * 1'000'000LL /
                                          impl_->baud);
            // A millisecond early: a wait can end that late.
            const auto pause = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::min(earliest, deadline) - started) -
                               std::chrono::milliseconds(1);
            if (pause.count() > 0 &&
                ::WaitForSingleObject(impl_->wake, static_cast<DWORD>(pause.count())) !=
                    WAIT_TIMEOUT)
                return 0;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        timeout = static_cast<DWORD>(std::max<long long>(left.count(), 1));
    }
    // The driver waits for the whole frame, up to the time-out, and returns what came.
    if (!impl_->readTimeoutSet || impl_->readTimeoutMs != timeout) {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadTotalTimeoutConstant = timeout;
        if (!::SetCommTimeouts(handle, &timeouts)) return 0;
        impl_->readTimeoutMs = timeout;
        impl_->readTimeoutSet = true;
    }
    DWORD got = 0;
    DWORD error = 0;
    Transfer result = transfer(
        handle, impl_->readDone, impl_->wake,
        [&](OVERLAPPED* overlapped) {
            return ::ReadFile(handle, buffer, wanted, nullptr, overlapped) != 0;
        },
        &got, &error);
    if (result == Transfer::Failed && error != ERROR_TIMEOUT && isHangUpError(error))
        impl_->hungUp.store(true);
    // Nothing, long before the time-out: the other end is gone (a pulled cable can look
    // like this rather than like an error).
    const auto waited = Clock::now() - started;
    if (result == Transfer::Done && got == 0 && timeoutMs > 0 &&
        waited < std::chrono::milliseconds(timeoutMs) / 2)
        impl_->hungUp.store(true);
    return static_cast<int>(got);
}

bool SerialDevice::pause(int ms) {
    Impl::Use use(*impl_);
    if (!use) return false;
    if (ms <= 0) return true;
    return ::WaitForSingleObject(impl_->wake, static_cast<DWORD>(ms)) == WAIT_TIMEOUT;
}

void SerialDevice::close() {
    std::unique_lock lock(impl_->mutex);
    if (impl_->closing) {
        // Another thread is closing: return once it is done, as if this call had closed.
        impl_->changed.wait(lock, [this] { return !impl_->closing; });
        return;
    }
    if (impl_->handle == INVALID_HANDLE_VALUE) return;
    impl_->closing = true;
    impl_->open.store(false);
    ::SetEvent(impl_->wake);
    impl_->changed.wait(lock, [this] { return impl_->users == 0; });
    ::ResetEvent(impl_->wake);
    ::CloseHandle(impl_->handle);
    ::timeEndPeriod(1);
    impl_->handle = INVALID_HANDLE_VALUE;
    impl_->closing = false;
    impl_->changed.notify_all();
}

bool SerialDevice::isOpen() const {
    return impl_->open.load();
}

bool SerialDevice::hungUp() const {
    return impl_->hungUp.load();
}

}  // namespace pl3::platform
