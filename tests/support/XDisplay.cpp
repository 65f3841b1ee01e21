#include "support/XDisplay.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <poll.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

}  // namespace

std::string FindProgram(const char* name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string full = dir + "/" + name;
    if (!dir.empty() && access(full.c_str(), X_OK) == 0) return full;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::string();
}

namespace {

constexpr const char* kChildTestVariable = "QJ_CHILD_TEST";

}  // namespace

bool IsChildRunOf(const std::string& testName) {
  const char* running = std::getenv(kChildTestVariable);
  return running && testName == running;
}

int RunInChild(const std::string& testName, std::string& output) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    dup2(pipeEnds[1], STDERR_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    setenv(kChildTestVariable, testName.c_str(), 1);
    std::string filter = "--gtest_filter=" + testName;
    execl("/proc/self/exe", "test", filter.c_str(), nullptr);
    _exit(127);
  }
  close(pipeEnds[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = read(pipeEnds[0], buffer, sizeof(buffer))) > 0) output.append(buffer, size_t(n));
  close(pipeEnds[0]);
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TXvfbServer::~TXvfbServer() { Stop(); }

bool TXvfbServer::Start(int firstDisplay, const char* screenSize, int dpi) {
  std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) return false;
  for (int n = firstDisplay; n < firstDisplay + 70; ++n) {
    std::string num = std::to_string(n);
    if (PathExists("/tmp/.X" + num + "-lock") || PathExists("/tmp/.X11-unix/X" + num)) continue;
    FServer = fork();
    if (FServer == 0) {
      // The server goes with the test that started it, and keeps its chatter to itself.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      int null = open("/dev/null", O_WRONLY);
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
      // -noreset: what a test puts on the root window stays when its own connection closes.
      std::string dpiText = std::to_string(dpi);
      if (dpi > 0)
        execl(xvfb.c_str(), "Xvfb", (":" + num).c_str(), "-screen", "0", screenSize, "-dpi", dpiText.c_str(), "-nolisten",
              "tcp", "-noreset", nullptr);
      else
        execl(xvfb.c_str(), "Xvfb", (":" + num).c_str(), "-screen", "0", screenSize, "-nolisten", "tcp", "-noreset",
              nullptr);
      _exit(127);
    }
    bool exited = false;
    for (int i = 0; i < 500 && !exited; ++i) {
      if (PathExists("/tmp/.X11-unix/X" + num)) {
        const char* old = std::getenv("DISPLAY");
        FHadDisplay = old != nullptr;
        FOldDisplay = old ? old : "";
        FDisplay = ":" + num;
        setenv("DISPLAY", FDisplay.c_str(), 1);
        return true;
      }
      exited = waitpid(FServer, nullptr, WNOHANG) == FServer;
      if (!exited) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!exited) {  // never came up: stop it before trying the next number
      kill(FServer, SIGTERM);
      waitpid(FServer, nullptr, 0);
    }
    FServer = -1;
  }
  return false;
}

void TXvfbServer::Stop() {
  if (FServer <= 0) return;
  if (FHadDisplay)
    setenv("DISPLAY", FOldDisplay.c_str(), 1);
  else
    unsetenv("DISPLAY");
  kill(FServer, SIGTERM);
  waitpid(FServer, nullptr, 0);
  FServer = -1;
}

struct TXScreenReader::TImpl {
  void* Lib = nullptr;
  Display* Dpy = nullptr;
  Display* (*Open)(const char*) = nullptr;
  int (*Close)(Display*) = nullptr;
  Window (*Root)(Display*) = nullptr;
  XImage* (*GetImage)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int) = nullptr;
};

TXScreenReader::TXScreenReader(const std::string& display) : FImpl(std::make_unique<TImpl>()) {
  TImpl& d = *FImpl;
  d.Lib = dlopen("libX11.so.6", RTLD_NOW);
  if (!d.Lib) return;
  d.Open = reinterpret_cast<Display* (*)(const char*)>(dlsym(d.Lib, "XOpenDisplay"));
  d.Close = reinterpret_cast<int (*)(Display*)>(dlsym(d.Lib, "XCloseDisplay"));
  d.Root = reinterpret_cast<Window (*)(Display*)>(dlsym(d.Lib, "XDefaultRootWindow"));
  d.GetImage = reinterpret_cast<XImage* (*)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int)>(
      dlsym(d.Lib, "XGetImage"));
  if (d.Open && d.Close && d.Root && d.GetImage) d.Dpy = d.Open(display.c_str());
}

TXScreenReader::~TXScreenReader() {
  if (FImpl->Dpy) FImpl->Close(FImpl->Dpy);
  if (FImpl->Lib) dlclose(FImpl->Lib);
}

bool TXScreenReader::Ok() const { return FImpl->Dpy != nullptr; }

uint32_t TXScreenReader::Pixel(int x, int y) {
  std::vector<uint32_t> one = Pixels(x, y, 1, 1);
  return one.empty() ? 0xFFFFFFFFu : one[0];
}

std::vector<uint32_t> TXScreenReader::Pixels(int x, int y, int width, int height) {
  TImpl& d = *FImpl;
  if (width <= 0 || height <= 0) return {};
  XImage* img = d.GetImage(d.Dpy, d.Root(d.Dpy), x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (!img) return {};
  std::vector<uint32_t> pixels(size_t(width) * size_t(height));
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col)
      pixels[size_t(row) * size_t(width) + size_t(col)] = static_cast<uint32_t>(img->f.get_pixel(img, col, row) & 0xFFFFFF);
  img->f.destroy_image(img);
  return pixels;
}

namespace {

// A connection to a display through Xlib loaded at run time; Fn finds a function by name.
class TXConnection {
 public:
  explicit TXConnection(const std::string& display) {
    FLib = dlopen("libX11.so.6", RTLD_NOW);
    auto open = Fn<Display* (*)(const char*)>("XOpenDisplay");
    if (open) Dpy = open(display.c_str());
  }
  ~TXConnection() {
    if (auto close = Fn<int (*)(Display*)>("XCloseDisplay"); close && Dpy) close(Dpy);
    if (FLib) dlclose(FLib);
  }
  TXConnection(const TXConnection&) = delete;
  TXConnection& operator=(const TXConnection&) = delete;

  template <class F>
  F Fn(const char* name) const {
    return FLib ? reinterpret_cast<F>(dlsym(FLib, name)) : nullptr;
  }

  Display* Dpy = nullptr;

 private:
  void* FLib = nullptr;
};

}  // namespace

bool SetXResources(const std::string& display, const std::string& resources) {
  TXConnection x(display);
  auto root = x.Fn<Window (*)(Display*)>("XDefaultRootWindow");
  auto change = x.Fn<int (*)(Display*, Window, Atom, Atom, int, int, const unsigned char*, int)>("XChangeProperty");
  auto sync = x.Fn<int (*)(Display*, Bool)>("XSync");
  if (!x.Dpy || !root || !change || !sync) return false;
  change(x.Dpy, root(x.Dpy), XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
         reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
  sync(x.Dpy, False);
  return true;
}

bool ReadSizeHints(const std::string& display, const std::string& title, TXSizeHints& hints) {
  TXConnection x(display);
  auto root = x.Fn<Window (*)(Display*)>("XDefaultRootWindow");
  auto query = x.Fn<Status (*)(Display*, Window, Window*, Window*, Window**, unsigned*)>("XQueryTree");
  auto intern = x.Fn<Atom (*)(Display*, const char*, Bool)>("XInternAtom");
  auto property = x.Fn<int (*)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*, unsigned long*,
                               unsigned long*, unsigned char**)>("XGetWindowProperty");
  auto normalHints = x.Fn<Status (*)(Display*, Window, XSizeHints*, long*)>("XGetWMNormalHints");
  auto release = x.Fn<int (*)(void*)>("XFree");
  if (!x.Dpy || !root || !query || !intern || !property || !normalHints || !release) return false;
  Atom netName = intern(x.Dpy, "_NET_WM_NAME", False);
  // The window's title as UTF-8 (SDL gives the name in that encoding).
  auto titleOf = [&](Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (property(x.Dpy, w, netName, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data) {
      name.assign(reinterpret_cast<const char*>(data), count);
      release(data);
    }
    return name;
  };
  Window rootWindow = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!query(x.Dpy, root(x.Dpy), &rootWindow, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) {
    if (titleOf(children[i]) != title) continue;
    found = true;
    XSizeHints sizes{};
    long supplied = 0;
    hints = {};
    if (!normalHints(x.Dpy, children[i], &sizes, &supplied)) continue;
    if (sizes.flags & PMinSize) hints.MinWidth = sizes.min_width, hints.MinHeight = sizes.min_height;
    if (sizes.flags & PMaxSize) hints.MaxWidth = sizes.max_width, hints.MaxHeight = sizes.max_height;
  }
  if (children) release(children);
  return found;
}

struct TXPrimarySelection::TImpl {
  std::string Name;
  void* Lib = nullptr;
  Display* Reader = nullptr;  // the test thread's connection
  Window ReaderWindow = 0;
  Atom Utf8 = 0, Property = 0;
  Display* (*Open)(const char*) = nullptr;
  int (*Close)(Display*) = nullptr;
  Window (*Root)(Display*) = nullptr;
  Window (*CreateWindow)(Display*, Window, int, int, unsigned, unsigned, unsigned, unsigned long, unsigned long) = nullptr;
  Atom (*InternAtom)(Display*, const char*, Bool) = nullptr;
  int (*ConvertSelection)(Display*, Atom, Atom, Atom, Window, Time) = nullptr;
  int (*Pending)(Display*) = nullptr;
  int (*NextEvent)(Display*, XEvent*) = nullptr;
  int (*GetProperty)(Display*, Window, Atom, long, long, Bool, Atom, Atom*, int*, unsigned long*, unsigned long*,
                     unsigned char**) = nullptr;
  int (*Free)(void*) = nullptr;
  int (*SetOwner)(Display*, Atom, Window, Time) = nullptr;
  int (*ChangeProperty)(Display*, Window, Atom, Atom, int, int, const unsigned char*, int) = nullptr;
  Status (*SendEvent)(Display*, Window, Bool, long, XEvent*) = nullptr;
  int (*Flush)(Display*) = nullptr;
  int (*Connection)(Display*) = nullptr;

  template <class F>
  void Load(F& fn, const char* name) {
    fn = reinterpret_cast<F>(dlsym(Lib, name));
  }
  bool Loaded() const {
    return Open && Close && Root && CreateWindow && InternAtom && ConvertSelection && Pending && NextEvent &&
           GetProperty && Free && SetOwner && ChangeProperty && SendEvent && Flush && Connection;
  }
};

TXPrimarySelection::TXPrimarySelection(const std::string& display) : FImpl(std::make_unique<TImpl>()) {
  TImpl& d = *FImpl;
  d.Name = display;
  d.Lib = dlopen("libX11.so.6", RTLD_NOW);
  if (!d.Lib) return;
  d.Load(d.Open, "XOpenDisplay");
  d.Load(d.Close, "XCloseDisplay");
  d.Load(d.Root, "XDefaultRootWindow");
  d.Load(d.CreateWindow, "XCreateSimpleWindow");
  d.Load(d.InternAtom, "XInternAtom");
  d.Load(d.ConvertSelection, "XConvertSelection");
  d.Load(d.Pending, "XPending");
  d.Load(d.NextEvent, "XNextEvent");
  d.Load(d.GetProperty, "XGetWindowProperty");
  d.Load(d.Free, "XFree");
  d.Load(d.SetOwner, "XSetSelectionOwner");
  d.Load(d.ChangeProperty, "XChangeProperty");
  d.Load(d.SendEvent, "XSendEvent");
  d.Load(d.Flush, "XFlush");
  d.Load(d.Connection, "XConnectionNumber");
  if (!d.Loaded() || !(d.Reader = d.Open(display.c_str()))) return;
  d.ReaderWindow = d.CreateWindow(d.Reader, d.Root(d.Reader), 0, 0, 1, 1, 0, 0, 0);
  d.Utf8 = d.InternAtom(d.Reader, "UTF8_STRING", False);
  d.Property = d.InternAtom(d.Reader, "QJ_PRIMARY", False);
}

TXPrimarySelection::~TXPrimarySelection() {
  FStop = true;
  if (FOwner.joinable()) FOwner.join();
  if (FImpl->Reader) FImpl->Close(FImpl->Reader);
  if (FImpl->Lib) dlclose(FImpl->Lib);
}

bool TXPrimarySelection::Ok() const { return FImpl->Reader != nullptr; }

void TXPrimarySelection::Request() {
  TImpl& d = *FImpl;
  d.ConvertSelection(d.Reader, XA_PRIMARY, d.Utf8, d.Property, d.ReaderWindow, CurrentTime);
  d.Flush(d.Reader);
}

bool TXPrimarySelection::Arrived(std::string& utf8) {
  TImpl& d = *FImpl;
  while (d.Pending(d.Reader) > 0) {
    XEvent e;
    d.NextEvent(d.Reader, &e);
    if (e.type != SelectionNotify) continue;
    utf8.clear();
    if (e.xselection.property == None) return true;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (d.GetProperty(d.Reader, d.ReaderWindow, d.Property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count,
                      &after, &data) == Success && data) {
      utf8.assign(reinterpret_cast<const char*>(data), count);
      d.Free(data);
    }
    return true;
  }
  return false;
}

void TXPrimarySelection::Own(const std::string& utf8) {
  FStop = true;
  if (FOwner.joinable()) FOwner.join();
  FStop = false;
  TImpl* d = FImpl.get();
  Display* dpy = d->Open(d->Name.c_str());
  if (!dpy) return;
  Window w = d->CreateWindow(dpy, d->Root(dpy), 0, 0, 1, 1, 0, 0, 0);
  Atom utf8Atom = d->InternAtom(dpy, "UTF8_STRING", False);
  d->SetOwner(dpy, XA_PRIMARY, w, CurrentTime);
  d->Flush(dpy);
  FOwner = std::thread([this, d, dpy, utf8, utf8Atom] {
    pollfd fd{d->Connection(dpy), POLLIN, 0};
    while (!FStop) {
      if (d->Pending(dpy) == 0) {
        poll(&fd, 1, 20);
        continue;
      }
      XEvent e;
      d->NextEvent(dpy, &e);
      if (e.type != SelectionRequest) continue;
      XSelectionRequestEvent& r = e.xselectionrequest;
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = r.requestor;
      reply.xselection.selection = r.selection;
      reply.xselection.target = r.target;
      reply.xselection.time = r.time;
      reply.xselection.property = None;
      if (r.target == utf8Atom || r.target == XA_STRING) {
        Atom property = r.property != None ? r.property : r.target;
        d->ChangeProperty(dpy, r.requestor, property, r.target, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
        reply.xselection.property = property;
      }
      d->SendEvent(dpy, r.requestor, False, 0, &reply);
      d->Flush(dpy);
    }
    d->Close(dpy);
  });
}

