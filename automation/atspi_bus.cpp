#include "automation/atspi_bus.h"

#include <atspi/atspi.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

#include "automation/accessible_roles.h"
#include "platform/platform.h"

namespace automation {
namespace {

constexpr int kCallTimeoutMs = 1000;     // one call on the bus
constexpr int kStartTimeoutMs = 3000;    // connecting to the bus
constexpr int kRequestTimeoutMs = 5000;  // one request: a few calls
constexpr size_t kKeptObjects = 100;     // as many as the script's ring holds
constexpr int kMaxDepth = 64;            // children searched below a point

enum class BusState { Unknown, Starting, Ready, Absent };

// Shared by the script's thread and the bus thread.
struct Shared {
  std::mutex m;
  std::condition_variable changed;
  BusState state = BusState::Unknown;
  GMainContext* context = nullptr;
  std::vector<BusEvent> inbox;
  bool ending = false;  // the program is ending: its event queue may be gone
  bool stalled = false;  // a request given up on is still running: the bus does not answer
};

// Never destroyed: the bus thread may still run while the program exits.
Shared& shared() {
  static Shared& s = *new Shared;
  return s;
}

// The bus thread's own: the listener, and the objects of the latest events.
struct Served {
  AtspiEventListener* listener = nullptr;
  AtspiAccessible* focused = nullptr;  // the last focus event's object, held
  std::unordered_map<uint64_t, AtspiAccessible*> objects;
  std::deque<uint64_t> order;
  uint64_t next = 1;
};

Served& served() {
  static Served& s = *new Served;
  return s;
}

// Without a session bus libdbus would try to launch one; a program that
// finds none runs without accessibility instead.
bool sessionBusNamed() {
  if (std::getenv("AT_SPI_BUS_ADDRESS") || std::getenv("DBUS_SESSION_BUS_ADDRESS")) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st;
  return runtime && stat((std::string(runtime) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

void clear(GError*& error) {
  if (error) g_error_free(error);
  error = nullptr;
}

bool hasState(AtspiStateSet* states, AtspiStateType state) {
  return states && atspi_state_set_contains(states, state);
}

void forgetFocus() {
  Served& s = served();
  if (s.focused) g_object_unref(s.focused);
  s.focused = nullptr;
}

// Toolkits tell the same focus change more than once; it is one event.
bool repeatedFocus(AtspiAccessible* source) {
  Served& s = served();
  if (s.focused == source) return true;
  forgetFocus();
  s.focused = ATSPI_ACCESSIBLE(g_object_ref(source));
  return false;
}

// The code an event is kept with; 0 for one scripts do not follow.
int eventCode(const AtspiEvent* event) {
  if (g_str_has_prefix(event->type, "window:activate")) return kEventForeground;
  if (event->detail1 == 1) return repeatedFocus(event->source) ? 0 : kEventFocus;  // the focus came
  if (event->source == served().focused) forgetFocus();  // it went: its coming back is news
  return 0;
}

// Holds the event's object for a later capture and hands the event to the
// script's thread, waking it.
void keep(int code, AtspiAccessible* source) {
  Served& s = served();
  const uint64_t id = s.next++;
  s.objects.emplace(id, ATSPI_ACCESSIBLE(g_object_ref(source)));
  s.order.push_back(id);
  if (s.order.size() > kKeptObjects) {
    g_object_unref(s.objects[s.order.front()]);
    s.objects.erase(s.order.front());
    s.order.pop_front();
  }
  Shared& sh = shared();
  std::lock_guard lock(sh.m);
  if (sh.ending) return;
  // 200 waiting events end in the same ring as their last 100: the ring
  // wraps every 100, so the older half never needs keeping.
  if (sh.inbox.size() >= 2 * kKeptObjects) sh.inbox.erase(sh.inbox.begin(), sh.inbox.begin() + kKeptObjects);
  sh.inbox.push_back({code, id});
  platform::backend().wake();
}

void onEvent(AtspiEvent* event, void*) {
  if (event->source) {
    if (const int code = eventCode(event)) keep(code, event->source);
  }
  g_boxed_free(ATSPI_TYPE_EVENT, event);
}

constexpr const char* kEventTypes[] = {"object:state-changed:focused", "window:activate"};

bool listen(bool on) {
  Served& s = served();
  if (on == (s.listener != nullptr)) return true;
  GError* error = nullptr;
  if (on) {
    s.listener = atspi_event_listener_new(onEvent, nullptr, nullptr);
    for (const char* type : kEventTypes) {
      atspi_event_listener_register(s.listener, type, &error);
      clear(error);
    }
    return true;
  }
  for (const char* type : kEventTypes) {
    atspi_event_listener_deregister(s.listener, type, &error);
    clear(error);
  }
  g_object_unref(s.listener);
  s.listener = nullptr;
  return true;
}

void release() {
  Served& s = served();
  forgetFocus();
  for (auto& kept : s.objects) g_object_unref(kept.second);
  s.objects.clear();
  s.order.clear();
}

std::string takeText(gchar* text) {
  std::string copy = text ? text : "";
  g_free(text);
  return copy;
}

// The value a script reads: the Value interface's number, else the text of
// an editable field (a label's text is its name, not a value).
std::string valueOf(AtspiAccessible* a, bool editable) {
  GError* error = nullptr;
  std::string value;
  if (AtspiValue* v = atspi_accessible_get_value_iface(a)) {
    const double current = atspi_value_get_current_value(v, &error);
    if (!error) {
      char number[64];
      std::snprintf(number, sizeof number, "%.15g", current);
      value = number;
    }
    clear(error);
    g_object_unref(v);
  } else if (editable) {
    if (AtspiText* t = atspi_accessible_get_text_iface(a)) {
      const int count = atspi_text_get_character_count(t, &error);
      clear(error);
      if (count > 0) value = takeText(atspi_text_get_text(t, 0, count, &error));
      clear(error);
      g_object_unref(t);
    }
  }
  return value;
}

// Reads an object's properties in the order scripts have always had them.
// False when the object no longer answers.
bool capture(AtspiAccessible* a, AccessibleProperties& p) {
  p.name.clear();
  p.roleText.clear();
  p.stateText.clear();
  p.value.clear();
  p.roleCode = 0;
  GError* error = nullptr;
  const AtspiRole role = atspi_accessible_get_role(a, &error);
  if (error) {
    clear(error);
    return false;
  }
  const RoleDescription described = describeRole(role);
  p.roleCode = described.code;
  p.roleText = described.text;
  if (p.roleCode == 0) return true;
  if (AtspiComponent* c = atspi_accessible_get_component_iface(a)) {
    if (AtspiRect* r = atspi_component_get_extents(c, ATSPI_COORD_TYPE_SCREEN, &error)) {
      p.left = r->x;
      p.top = r->y;
      p.width = r->width;
      p.height = r->height;
      g_free(r);
    }
    clear(error);
    g_object_unref(c);
  }
  p.name = takeText(atspi_accessible_get_name(a, &error));
  clear(error);
  AtspiStateSet* states = atspi_accessible_get_state_set(a);
  p.stateText = stateText(hasState(states, ATSPI_STATE_CHECKED), !hasState(states, ATSPI_STATE_ENABLED));
  p.value = valueOf(a, hasState(states, ATSPI_STATE_EDITABLE));
  if (states) g_object_unref(states);
  return true;
}

bool capturedObject(uint64_t object, AccessibleProperties& p) {
  const auto found = served().objects.find(object);
  return found != served().objects.end() && capture(found->second, p);
}

bool contains(AtspiAccessible* a, int x, int y) {
  AtspiComponent* c = atspi_accessible_get_component_iface(a);
  if (!c) return false;
  GError* error = nullptr;
  const bool inside = atspi_component_contains(c, x, y, ATSPI_COORD_TYPE_SCREEN, &error);
  clear(error);
  g_object_unref(c);
  return inside;
}

int childCount(AtspiAccessible* a) {
  GError* error = nullptr;
  const int count = atspi_accessible_get_child_count(a, &error);
  clear(error);
  return count;
}

// A new reference, or nullptr.
AtspiAccessible* childAt(AtspiAccessible* a, int i) {
  GError* error = nullptr;
  AtspiAccessible* child = atspi_accessible_get_child_at_index(a, i, &error);
  clear(error);
  return child;
}

// The shown top-level window under the point, the active one first; a
// new reference, or nullptr.
AtspiAccessible* windowAt(AtspiAccessible* desktop, int x, int y) {
  AtspiAccessible* found = nullptr;
  const int apps = childCount(desktop);
  for (int i = 0; i < apps; ++i) {
    AtspiAccessible* app = childAt(desktop, i);
    if (!app) continue;
    const int windows = childCount(app);
    for (int j = 0; j < windows; ++j) {
      AtspiAccessible* w = childAt(app, j);
      if (!w) continue;
      AtspiStateSet* states = atspi_accessible_get_state_set(w);
      const bool shown = hasState(states, ATSPI_STATE_SHOWING);
      const bool active = hasState(states, ATSPI_STATE_ACTIVE);
      if (states) g_object_unref(states);
      if (shown && (!found || active) && contains(w, x, y)) {
        if (found) g_object_unref(found);
        found = ATSPI_ACCESSIBLE(g_object_ref(w));
      }
      g_object_unref(w);
      if (found && active) break;
    }
    g_object_unref(app);
  }
  return found;
}

// The deepest object at the point: each child that holds it in turn.
bool captureAt(int x, int y, AccessibleProperties& p) {
  AtspiAccessible* desktop = atspi_get_desktop(0);
  if (!desktop) return false;
  AtspiAccessible* at = windowAt(desktop, x, y);
  if (!at) at = ATSPI_ACCESSIBLE(g_object_ref(desktop));
  GError* error = nullptr;
  for (int depth = 0; depth < kMaxDepth; ++depth) {
    AtspiComponent* c = atspi_accessible_get_component_iface(at);
    if (!c) break;
    AtspiAccessible* child = atspi_component_get_accessible_at_point(c, x, y, ATSPI_COORD_TYPE_SCREEN, &error);
    clear(error);
    g_object_unref(c);
    if (!child || child == at) {
      if (child) g_object_unref(child);
      break;
    }
    g_object_unref(at);
    at = child;
  }
  const bool captured = capture(at, p);
  g_object_unref(at);
  g_object_unref(desktop);
  return captured;
}

void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void serve() {
  Shared& s = shared();
  // A bus that is missing is the quiet path, not a message on the terminal.
  for (const char* domain : {"dbind", "atspi"}) {
    g_log_set_handler(domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO),
                      quiet, nullptr);
  }
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  atspi_set_timeout(kCallTimeoutMs, kStartTimeoutMs);
  const bool up = atspi_init() < 2;  // 2: no bus
  if (up) atspi_set_main_context(context);
  {
    std::lock_guard lock(s.m);
    s.state = up ? BusState::Ready : BusState::Absent;
    if (up) s.context = context;
  }
  s.changed.notify_all();
  if (!up) return;
  GMainLoop* loop = g_main_loop_new(context, FALSE);
  g_main_loop_run(loop);
}

// A piece of work for the bus thread. It owns what it works on, so that a
// request given up by the script's thread finishes harmlessly.
struct Request {
  std::function<bool(AccessibleProperties&)> work;
  AccessibleProperties properties;
  bool done = false;
  bool result = false;
};

gboolean runRequest(gpointer data) {
  Request& r = **static_cast<std::shared_ptr<Request>*>(data);
  const bool result = r.work(r.properties);
  Shared& s = shared();
  {
    std::lock_guard lock(s.m);
    r.result = result;
    r.done = true;
    s.stalled = false;
  }
  s.changed.notify_all();
  return G_SOURCE_REMOVE;
}

void dropRequest(gpointer data) { delete static_cast<std::shared_ptr<Request>*>(data); }

// Runs work on the bus thread and waits for it a bounded time; false when
// there is no bus or no answer in time. While a request given up on still
// runs, the next ones fail at once, so a hung bus costs one wait, not one
// per command.
bool onBus(std::function<bool(AccessibleProperties&)> work, AccessibleProperties& p) {
  if (!accessibilityBusReady()) return false;
  Shared& s = shared();
  {
    std::lock_guard lock(s.m);
    if (s.stalled) return false;
  }
  auto request = std::make_shared<Request>();
  request->work = std::move(work);
  request->properties = p;
  GSource* source = g_idle_source_new();
  g_source_set_callback(source, runRequest, new std::shared_ptr<Request>(request), dropRequest);
  g_source_attach(source, s.context);
  g_source_unref(source);
  std::unique_lock lock(s.m);
  if (!s.changed.wait_for(lock, std::chrono::milliseconds(kRequestTimeoutMs), [&] { return request->done; })) {
    s.stalled = true;
    return false;
  }
  p = request->properties;
  return request->result;
}

}  // namespace

bool accessibilityBusReady() {
  Shared& s = shared();
  std::unique_lock lock(s.m);
  if (s.state == BusState::Unknown) {
    // The headless desktop is the console alone: no other program to follow.
    if (platform::headless() || !sessionBusNamed()) {
      s.state = BusState::Absent;
      return false;
    }
    s.state = BusState::Starting;
    // Registered after the backend was made, so this runs before it goes.
    std::atexit([] {
      std::lock_guard ending(shared().m);
      shared().ending = true;
    });
    std::thread(serve).detach();
    s.changed.wait_for(lock, std::chrono::milliseconds(kStartTimeoutMs), [&] { return s.state != BusState::Starting; });
  }
  return s.state == BusState::Ready;
}

void listenForEvents(bool on) {
  AccessibleProperties unused;
  onBus([on](AccessibleProperties&) { return listen(on); }, unused);
}

std::vector<BusEvent> takeBusEvents() {
  Shared& s = shared();
  std::lock_guard lock(s.m);
  std::vector<BusEvent> events;
  events.swap(s.inbox);
  return events;
}

bool captureEventObject(uint64_t object, AccessibleProperties& p) {
  return onBus([object](AccessibleProperties& q) { return capturedObject(object, q); }, p);
}

bool captureObjectAt(int x, int y, AccessibleProperties& p) {
  return onBus([x, y](AccessibleProperties& q) { return captureAt(x, y, q); }, p);
}

void releaseEventObjects() {
  AccessibleProperties unused;
  onBus([](AccessibleProperties&) {
    release();
    return true;
  }, unused);
}

}  // namespace automation
