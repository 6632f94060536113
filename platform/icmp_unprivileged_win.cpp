// The system's ICMP service (Windows): echo requests without administrator rights, sent
// asynchronously and answered by asynchronous procedure calls on the probing thread.
#include "platform/icmp_unprivileged.h"

#include <winsock2.h>
#include <windows.h>
#include <winternl.h>
// The Vista-and-later declaration of IcmpSendEcho2, whose completion routine is an I/O APC.
#define PIO_APC_ROUTINE_DEFINED
#include <iphlpapi.h>
#include <icmpapi.h>

#include <new>

#include "platform/icmp_answer.h"
#include "platform/perf_counter.h"

namespace {

// Data sent behind the echo header: the probe's own (36 zero bytes for the 64-byte datagram).
constexpr int kMaxRequestData = 4096 - 28;
// Room for the reply: the reply record, the echoed data, an ICMP error's 8 bytes and the
// status block that newer systems put behind them.
constexpr DWORD kReplyRoom = sizeof(ICMP_ECHO_REPLY) + 64 + 8 + sizeof(IO_STATUS_BLOCK) + 64;
// One more than the most probes the engine keeps out (one per slot).
constexpr DWORD kMaxRequests = 65536;

} // namespace

// One echo request in flight, or answered and waiting to be read. Its reply buffer must stay
// where it is until the service has completed it, so requests live in one array made at Open.
struct SServiceRequest {
    CNUnprivilegedIcmp::SState* owner = nullptr;
    WORD identifier = 0;
    WORD sequence = 0;
    std::int64_t completed = 0; // counter ticks in the completion routine
    DWORD next = 0;             // free list or completion queue link
    alignas(8) BYTE reply[kReplyRoom];
};

struct CNUnprivilegedIcmp::SState {
    HANDLE icmp = INVALID_HANDLE_VALUE;
    HANDLE timer = nullptr;
    DWORD timeoutMs = 0;
    int ttl = 128;
    SServiceRequest* requests = nullptr;
    DWORD count = 0;
    DWORD freeHead = 0; // requests that may be sent; kNone: all are out
    // Completed requests in the order of completion, read by Receive.
    DWORD doneHead = 0;
    DWORD doneTail = 0;
};

namespace {

constexpr DWORD kNone = 0xFFFFFFFF;

// Runs on the probing thread inside its alertable wait. Stamps the completion and queues the
// request for Receive; nothing else happens here.
VOID NTAPI OnRequestComplete(PVOID context, PIO_STATUS_BLOCK, ULONG) {
    SServiceRequest* request = static_cast<SServiceRequest*>(context);
    request->completed = PlatformPerfCounter();
    CNUnprivilegedIcmp::SState* state = request->owner;
    const DWORD index = static_cast<DWORD>(request - state->requests);
    request->next = kNone;
    if (state->doneTail != kNone)
        state->requests[state->doneTail].next = index;
    else
        state->doneHead = index;
    state->doneTail = index;
}

} // namespace

EUnprivilegedIcmpKind PlatformUnprivilegedIcmpKind() {
    return kUnprivilegedIcmpService;
}

DWORD CNUnprivilegedIcmp::Open(DWORD timeoutMs, DWORD maxOutstanding) {
    Close();
    SState* state = new (std::nothrow) SState;
    if (state == nullptr)
        return ERROR_NOT_ENOUGH_MEMORY;
    state->timeoutMs = timeoutMs != 0 ? timeoutMs : 1;
    state->count =
        maxOutstanding == 0 ? 1 : (maxOutstanding > kMaxRequests ? kMaxRequests : maxOutstanding);
    state->requests = new (std::nothrow) SServiceRequest[state->count];
    if (state->requests == nullptr) {
        delete state;
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    for (DWORD i = 0; i < state->count; ++i) {
        state->requests[i].owner = state;
        state->requests[i].next = i + 1 < state->count ? i + 1 : kNone;
    }
    state->freeHead = 0;
    state->doneHead = state->doneTail = kNone;
    state->icmp = IcmpCreateFile();
    if (state->icmp == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        delete[] state->requests;
        delete state;
        return error != 0 ? error : ERROR_GEN_FAILURE;
    }
    // The waits between probes: a high-resolution timer where the system has one (a plain one
    // follows the system timer's tick).
    state->timer =
        CreateWaitableTimerExW(nullptr, nullptr, 0x2 /* HIGH_RESOLUTION */, TIMER_ALL_ACCESS);
    if (state->timer == nullptr)
        state->timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    if (state->timer == nullptr) {
        const DWORD error = GetLastError();
        IcmpCloseHandle(state->icmp);
        delete[] state->requests;
        delete state;
        return error;
    }
    m_state = state;
    return 0;
}

// Called after the probing thread has ended: the requests it issued ended with it, so no
// completion writes into the buffers freed here.
DWORD CNUnprivilegedIcmp::Close() {
    if (m_state == nullptr)
        return 0;
    DWORD error = 0;
    if (!IcmpCloseHandle(m_state->icmp))
        error = GetLastError();
    CloseHandle(m_state->timer);
    delete[] m_state->requests;
    delete m_state;
    m_state = nullptr;
    return error;
}

WORD CNUnprivilegedIcmp::Identifier(WORD probeIdentifier) const {
    return probeIdentifier;
}

DWORD CNUnprivilegedIcmp::SetTtl(int ttl) {
    if (ttl < 1 || ttl > 255)
        return ERROR_INVALID_PARAMETER;
    m_state->ttl = ttl;
    return 0;
}

DWORD CNUnprivilegedIcmp::SendTo(const BYTE* message, int length, DWORD address) {
    if (length < 8 || length - 8 > kMaxRequestData)
        return WSAEMSGSIZE;
    SState* state = m_state;
    if (state->freeHead == kNone)
        return WSAENOBUFS;
    const DWORD index = state->freeHead;
    SServiceRequest& request = state->requests[index];
    request.identifier = static_cast<WORD>(message[4] | (message[5] << 8));
    request.sequence = static_cast<WORD>(message[6] | (message[7] << 8));
    IP_OPTION_INFORMATION options = {};
    options.Ttl = static_cast<UCHAR>(state->ttl);
    // The service builds the echo header itself; it gets the probe's data.
    const DWORD result =
        IcmpSendEcho2(state->icmp, nullptr, OnRequestComplete, &request, address,
                      const_cast<BYTE*>(message + 8), static_cast<WORD>(length - 8), &options,
                      request.reply, sizeof request.reply, state->timeoutMs);
    const DWORD error = result == 0 ? GetLastError() : 0;
    if (result == 0 && error != ERROR_IO_PENDING)
        return error != 0 ? error : ERROR_GEN_FAILURE;
    // In flight (a request that completed at once is still reported through the routine).
    state->freeHead = request.next;
    return 0;
}

int CNUnprivilegedIcmp::WaitReadable(long seconds, long microseconds, DWORD& error) {
    SState* state = m_state;
    if (state->doneHead != kNone)
        return 1;
    const LONGLONG hundreds = static_cast<LONGLONG>(seconds > 0 ? seconds : 0) * 10000000 +
                              (microseconds > 0 ? microseconds : 0) * 10;
    if (hundreds == 0) {
        // A poll: completions already queued to this thread run now.
        SleepEx(0, TRUE);
        return state->doneHead != kNone ? 1 : 0;
    }
    LARGE_INTEGER due;
    due.QuadPart = -hundreds; // relative
    if (!SetWaitableTimer(state->timer, &due, 0, nullptr, nullptr, FALSE)) {
        error = GetLastError();
        return -1;
    }
    // Completion routines run inside the alertable wait; a wait they end early goes on until
    // one of them has queued an answer or the timer is due.
    for (;;) {
        const DWORD result = WaitForSingleObjectEx(state->timer, INFINITE, TRUE);
        if (state->doneHead != kNone) {
            CancelWaitableTimer(state->timer);
            return 1;
        }
        if (result == WAIT_OBJECT_0)
            return 0;
        if (result != WAIT_IO_COMPLETION) {
            error = GetLastError();
            return -1;
        }
    }
}

DWORD CNUnprivilegedIcmp::Receive(BYTE* buffer, int capacity, int& received, DWORD& source,
                                  std::int64_t& receiveTime) {
    SState* state = m_state;
    received = 0;
    while (state->doneHead != kNone) {
        const DWORD index = state->doneHead;
        SServiceRequest& request = state->requests[index];
        state->doneHead = request.next;
        if (state->doneHead == kNone)
            state->doneTail = kNone;
        // Fills in the reply record (and says how many there are; a status other than success
        // gives 0 with the status in the record all the same).
        IcmpParseReplies(request.reply, sizeof request.reply);
        const ICMP_ECHO_REPLY* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(request.reply);
        SIcmpServiceAnswer answer;
        answer.status = reply->Status;
        answer.address = reply->Address;
        answer.identifier = request.identifier;
        answer.sequence = request.sequence;
        const std::int64_t completed = request.completed;
        request.next = state->freeHead;
        state->freeHead = index;
        received = IcmpServiceAnswerToRaw(answer, buffer, capacity);
        if (received != 0) {
            source = answer.address;
            receiveTime = completed;
            return 0;
        }
    }
    return kNothingQueued;
}
