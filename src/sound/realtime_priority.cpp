#include "sound/realtime_priority.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dbus/dbus.h>
#include <memory>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace orbel {

namespace {

constexpr const char* RealtimeKitService = "org.freedesktop.RealtimeKit1";
constexpr const char* RealtimeKitPath = "/org/freedesktop/RealtimeKit1";
constexpr const char* PropertiesInterface = "org.freedesktop.DBus.Properties";
// RealtimeKit answers at once or not at all; a missing daemon must not hold up the caller.
constexpr int DbusTimeoutMs = 500;
// RealtimeKit only serves processes that promise to yield within this much CPU time (µs) per burst.
constexpr rlim_t RealtimeCpuLimitUs = 200000;

std::string Describe(int error) {
    return std::strerror(error);
}

void Say(std::string* why, std::string text) {
    if (why != nullptr) *why = std::move(text);
}

// Round-robin at once when the process's limit allows it, after raising the soft limit to the hard one.
bool SetSchedulerDirectly(pid_t thread, int priority, std::string& reason) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_RTPRIO, &limit) != 0) {
        reason = "the real-time limit cannot be read (" + Describe(errno) + ")";
        return false;
    }
    if (limit.rlim_cur < limit.rlim_max && limit.rlim_cur < static_cast<rlim_t>(priority)) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_RTPRIO, &raised) == 0) limit = raised;
    }
    int allowed = priority;
    if (limit.rlim_cur != RLIM_INFINITY) allowed = std::min<int>(priority, static_cast<int>(limit.rlim_cur));
    // A privileged process may go beyond its limit, so the attempt is made even at a limit of 0.
    sched_param param{};
    param.sched_priority = std::max(allowed, 1);
    if (::sched_setscheduler(thread, SCHED_RR | SCHED_RESET_ON_FORK, &param) == 0) return true;
    reason = "the system refuses real-time scheduling (" + Describe(errno) + ")";
    return false;
}

struct ConnectionDeleter {
    void operator()(DBusConnection* c) const { dbus_connection_unref(c); }
};
struct MessageDeleter {
    void operator()(DBusMessage* m) const { dbus_message_unref(m); }
};
using Connection = std::unique_ptr<DBusConnection, ConnectionDeleter>;
using Message = std::unique_ptr<DBusMessage, MessageDeleter>;

class DbusError {
public:
    DbusError() { dbus_error_init(&error_); }
    ~DbusError() { dbus_error_free(&error_); }
    DbusError(const DbusError&) = delete;
    DbusError& operator=(const DbusError&) = delete;
    DBusError* get() { return &error_; }
    bool isSet() const { return dbus_error_is_set(&error_) != 0; }
    std::string text() const { return error_.message != nullptr ? error_.message : "unknown D-Bus error"; }

private:
    DBusError error_{};
};

// RealtimeKit's highest priority, or 0 when it cannot be read.
int MaxRealtimeKitPriority(DBusConnection* bus) {
    Message call(
        dbus_message_new_method_call(RealtimeKitService, RealtimeKitPath, PropertiesInterface, "Get"));
    if (!call) return 0;
    const char* interface = RealtimeKitService;
    const char* property = "MaxRealtimePriority";
    if (!dbus_message_append_args(call.get(), DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                                  DBUS_TYPE_INVALID))
        return 0;
    DbusError error;
    Message reply(dbus_connection_send_with_reply_and_block(bus, call.get(), DbusTimeoutMs, error.get()));
    if (!reply) return 0;
    DBusMessageIter iter;
    DBusMessageIter variant;
    if (!dbus_message_iter_init(reply.get(), &iter) ||
        dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_VARIANT)
        return 0;
    dbus_message_iter_recurse(&iter, &variant);
    if (dbus_message_iter_get_arg_type(&variant) != DBUS_TYPE_INT32) return 0;
    dbus_int32_t value = 0;
    dbus_message_iter_get_basic(&variant, &value);
    return value;
}

bool AskRealtimeKit(pid_t thread, int priority, std::string& reason) {
    // RealtimeKit insists on a limit to the CPU time a real-time thread may take without sleeping, so that
    // a runaway thread cannot freeze the desktop.
    rlimit cpu{};
    if (::getrlimit(RLIMIT_RTTIME, &cpu) == 0 &&
        (cpu.rlim_max == RLIM_INFINITY || cpu.rlim_max > RealtimeCpuLimitUs)) {
        cpu.rlim_cur = cpu.rlim_max = RealtimeCpuLimitUs;
        if (::setrlimit(RLIMIT_RTTIME, &cpu) != 0) {
            reason = "the real-time CPU limit cannot be set (" + Describe(errno) + ")";
            return false;
        }
    }
    DbusError error;
    Connection bus(dbus_bus_get_private(DBUS_BUS_SYSTEM, error.get()));
    if (!bus) {
        reason = "the system message bus cannot be reached (" + error.text() + ")";
        return false;
    }
    // A private connection must be closed by its owner before the last reference goes.
    struct Closer {
        DBusConnection* c;
        ~Closer() { dbus_connection_close(c); }
    } closer{bus.get()};
    dbus_connection_set_exit_on_disconnect(bus.get(), FALSE);

    const int allowed = std::min(priority, MaxRealtimeKitPriority(bus.get()));
    if (allowed < 1) {
        reason = "RealtimeKit is not available or grants no real-time priority";
        return false;
    }
    Message call(dbus_message_new_method_call(RealtimeKitService, RealtimeKitPath, RealtimeKitService,
                                              "MakeThreadRealtime"));
    if (!call) {
        reason = "out of memory";
        return false;
    }
    const auto id = static_cast<dbus_uint64_t>(thread);
    const auto level = static_cast<dbus_uint32_t>(allowed);
    if (!dbus_message_append_args(call.get(), DBUS_TYPE_UINT64, &id, DBUS_TYPE_UINT32, &level,
                                  DBUS_TYPE_INVALID)) {
        reason = "out of memory";
        return false;
    }
    DbusError callError;
    Message reply(
        dbus_connection_send_with_reply_and_block(bus.get(), call.get(), DbusTimeoutMs, callError.get()));
    if (!reply || callError.isSet()) {
        reason = "RealtimeKit refused (" + callError.text() + ")";
        return false;
    }
    return true;
}

} // namespace

bool RequestRealtimePriorityFor(pid_t thread, int priority, std::string* why) {
    std::string direct;
    if (SetSchedulerDirectly(thread, priority, direct)) return true;
    std::string kit;
    if (AskRealtimeKit(thread, priority, kit)) return true;
    Say(why, "No real-time priority: " + direct + ", and " + kit + ".");
    return false;
}

bool RequestRealtimePriority(int priority, std::string* why) {
    return RequestRealtimePriorityFor(::gettid(), priority, why);
}

} // namespace orbel
