// Sound out on Windows: WASAPI in shared mode on the default console device,
// fed on a thread of its own whenever the device's event says it wants more.
// No device, or one that goes away, leaves the toy silent (one trace line
// says why) and the thread looks for a default device again every second, or
// at once when Windows names a new default; a new default while playing is
// followed too.
#include "platform/win32/Win32Platform.h"

#include "platform/Counter.h"
#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32DeviceWatch.h"
#include "platform/win32/Win32MixFormat.h"
#include "platform/win32/Win32Worker.h"
#include "util/DebugTrace.h"

#include <windows.h>

#include <audioclient.h>
#include <mmdeviceapi.h>

#include <cstdint>
#include <vector>

namespace platform {

using namespace win32;

namespace {

// What the device is asked to buffer: two of the engine's usual 10 ms
// periods, so that a late wake-up of this thread is not heard, and little
// enough to keep a landing's tone close to its motion.
constexpr REFERENCE_TIME requestedBuffer = 20 * 10000;
// A device that has not asked for samples for this long is taken as gone.
constexpr DWORD deviceSilence = 1000;
// How often a missing device is looked for again.
constexpr DWORD lookAgain = 1000;

struct Ended {
    HRESULT result;
    const wchar_t* step;
    bool played = false; // the device played before it ended
    bool moved = false;  // it ended because another device became the default
};

class EventHandle {
public:
    EventHandle() : handle(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    ~EventHandle()
    {
        if (handle != nullptr)
            CloseHandle(handle);
    }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
    HANDLE get() const { return handle; }

private:
    HANDLE handle;
};

// One opened device, played until it fails or a stop is asked for.
class DevicePlayer {
public:
    DevicePlayer(WorkerSignals& workerSignals, AudioSource& audioSource) : signals(workerSignals), source(audioSource)
    {
    }

    // Plays on the default device until a stop, a failure, or `moved` (may
    // be null) says another device is the default now.
    Ended play(IMMDeviceEnumerator& devices, HANDLE moved)
    {
        ComRef<IMMDevice> device;
        HRESULT result = devices.GetDefaultAudioEndpoint(eRender, eConsole, device.put());
        if (FAILED(result))
            return {result, L"finding the default device"};
        result = device->Activate(__uuidof(IAudioClient), CLSCTX_ALL, nullptr, client.putVoid());
        if (FAILED(result))
            return {result, L"activating the device"};
        WAVEFORMATEX* mix = nullptr;
        result = client->GetMixFormat(&mix);
        if (FAILED(result))
            return {result, L"reading the mix format"};
        layout = mixLayout(*mix);
        const bool supported = layout.encoding != SampleEncoding::Unsupported;
        if (supported)
            result = client->Initialize(AUDCLNT_SHAREMODE_SHARED, AUDCLNT_STREAMFLAGS_EVENTCALLBACK, requestedBuffer, 0,
                                        mix, nullptr);
        const WORD tag = mix->wFormatTag;
        CoTaskMemFree(mix);
        if (!supported)
            return {AUDCLNT_E_UNSUPPORTED_FORMAT,
                    tag == WAVE_FORMAT_EXTENSIBLE ? L"reading the mix format (extensible)" : L"reading the mix format"};
        if (FAILED(result))
            return {result, L"opening the stream"};
        if (ready.get() == nullptr)
            return {HRESULT_FROM_WIN32(GetLastError()), L"making its event"};
        if (FAILED(result = client->SetEventHandle(ready.get())))
            return {result, L"handing it the event"};
        if (FAILED(result = client->GetBufferSize(&bufferFrames)))
            return {result, L"reading the buffer size"};
        if (FAILED(result = client->GetService(__uuidof(IAudioRenderClient), renderer.putVoid())))
            return {result, L"getting the render client"};
        stereo.assign(static_cast<std::size_t>(bufferFrames) * 2, 0.0f);

        if (FAILED(result = fill()))
            return {result, L"filling the first buffer"};
        if (FAILED(result = client->Start()))
            return {result, L"starting the stream"};
        const bool played = true;
        DebugTrace(L"sound: playing on the default device, %d Hz, %d channels, %d-byte samples, %u frames buffered",
                   layout.sampleRate, layout.channels, layout.bytesPerSample, bufferFrames);

        const HANDLE wakeUps[] = {signals.stopEvent(), ready.get(), moved};
        const DWORD handles = moved != nullptr ? 3 : 2;
        for (;;) {
            const DWORD woke = WaitForMultipleObjects(handles, wakeUps, FALSE, deviceSilence);
            if (woke == WAIT_OBJECT_0 || signals.stopRequested()) {
                client->Stop();
                return {S_OK, L"stopping", played};
            }
            if (woke == WAIT_OBJECT_0 + 2) {
                client->Stop();
                return {S_OK, L"following the new default device", played, true};
            }
            if (woke != WAIT_OBJECT_0 + 1) {
                client->Stop();
                return {HRESULT_FROM_WIN32(ERROR_TIMEOUT), L"waiting for the device to ask for samples", played};
            }
            if (FAILED(result = fill())) {
                client->Stop();
                return {result, L"playing", played};
            }
        }
    }

private:
    // Tops the device's buffer up with what the source renders now.
    HRESULT fill()
    {
        UINT32 padding = 0;
        HRESULT result = client->GetCurrentPadding(&padding);
        if (FAILED(result))
            return result;
        const UINT32 frames = bufferFrames - padding;
        if (frames == 0)
            return S_OK;
        BYTE* data = nullptr;
        if (FAILED(result = renderer->GetBuffer(frames, &data)))
            return result;
        const std::int64_t counter = queryPerformanceCounter();
        if (signals.beginCall()) {
            source.render(stereo.data(), static_cast<int>(frames), layout.sampleRate, counter);
            signals.endCall();
        } else {
            std::fill(stereo.begin(), stereo.end(), 0.0f);
        }
        convertStereo(stereo.data(), static_cast<int>(frames), layout, data);
        return renderer->ReleaseBuffer(frames, 0);
    }

    WorkerSignals& signals;
    AudioSource& source;
    ComRef<IAudioClient> client;
    ComRef<IAudioRenderClient> renderer;
    EventHandle ready;
    MixLayout layout;
    UINT32 bufferFrames = 0;
    std::vector<float> stereo;
};

const wchar_t* why(HRESULT result)
{
    switch (result) {
    case static_cast<HRESULT>(0x80070490): // E_NOTFOUND
        return L"no sound device";
    case AUDCLNT_E_DEVICE_INVALIDATED:
        return L"the sound device went away";
    case AUDCLNT_E_UNSUPPORTED_FORMAT:
        return L"the sound device's format cannot be played";
    case AUDCLNT_E_DEVICE_IN_USE:
        return L"the sound device is held by another program";
    case AUDCLNT_E_SERVICE_NOT_RUNNING:
        return L"Windows' audio service is not running";
    default:
        return L"the sound device cannot play";
    }
}

void playWhileWanted(WorkerSignals& signals, AudioSource& source)
{
    // The thread only waits; when it is woken it must fill the buffer at once.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    ComRef<IMMDeviceEnumerator> devices;
    HRESULT result = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                      devices.putVoid());
    if (FAILED(result)) {
        DebugTrace(L"sound: Windows has no audio device interface here (0x%08lX); playing silent",
                   static_cast<unsigned long>(result));
        return;
    }
    DefaultDeviceWatch watch;
    const bool watching =
        watch.changed() != nullptr && SUCCEEDED(result = devices->RegisterEndpointNotificationCallback(&watch));
    if (!watching)
        DebugTrace(L"sound: Windows will not tell when another device becomes the default (0x%08lX); "
                   L"staying on the one found",
                   static_cast<unsigned long>(result));
    HANDLE moved = watching ? watch.changed() : nullptr;
    // Traced once for each new reason, not every second.
    HRESULT lastFailure = S_OK;
    while (!signals.stopRequested()) {
        const Ended ended = DevicePlayer(signals, source).play(*devices.get(), moved);
        if (signals.stopRequested())
            break;
        if (ended.moved) {
            DebugTrace(L"sound: another device is the default now; playing there");
            lastFailure = S_OK;
            continue;
        }
        if (ended.played)
            lastFailure = S_OK;
        if (ended.result != lastFailure)
            DebugTrace(L"sound: %ls (%ls, 0x%08lX); silent, looking for a device every second", why(ended.result),
                       ended.step, static_cast<unsigned long>(ended.result));
        lastFailure = ended.result;
        // A new default is tried at once; otherwise the default again in a second.
        const HANDLE wakeUps[] = {signals.stopEvent(), moved};
        WaitForMultipleObjects(moved != nullptr ? 2 : 1, wakeUps, FALSE, lookAgain);
    }
    if (watching)
        devices->UnregisterEndpointNotificationCallback(&watch);
}

} // namespace

void Win32Platform::startAudio(AudioSource& source)
{
    if (audio)
        return;
    audio.reset(new Worker(L"sound", [&source](WorkerSignals& signals) { playWhileWanted(signals, source); }));
}

void Win32Platform::stopAudio()
{
    if (audio)
        audio->stopWithin(2000);
    audio.reset();
}

} // namespace platform
