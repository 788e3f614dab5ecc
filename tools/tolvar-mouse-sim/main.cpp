// tolvar-mouse-sim: the simulated mouse, driven by commands on standard input.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "event_log.h"
#include "mouse_descriptor.h"
#include "sim_command.h"
#include "simulator.h"
#include "socket_transport.h"
#include "uhid_transport.h"

namespace {

using namespace tolvar::mousesim;

constexpr std::string_view kHelp = R"(Usage: tolvar-mouse-sim --socket PATH --log FILE
       tolvar-mouse-sim --uhid --log FILE

Plays the USB mouse that Tolvar drives (vendor 0x18F8, product 0x1686), so
that the program can be run and tested without it.

Options:
  --socket PATH  serve the mouse on a Unix stream socket at PATH. Tolvar looks
                 for it, besides the hidraw nodes, when the environment
                 variable TOLVAR_SIMULATOR=PATH is set.
  --uhid         instead, create a real kernel HID device through /dev/uhid
                 (root and the uhid kernel module needed); Tolvar then finds
                 it as a hidraw node like the real mouse.
  --log FILE     write the log to FILE (created or emptied).
  --help         print this text.

The mouse starts plugged in, each button with its own function. Its HID
report descriptor has five top-level collections, each with a report id:
mouse (1), keyboard (2), consumer control (3), the vendor input collection
0xFF00/1 (4; 8-byte button reports, id included) and the vendor feature
collection 0xFF01/1 (7; 8-byte feature reports, id included).

Commands, one per line on standard input (numbers decimal or 0x hex):
  press N [B]  send a button report: byte 1 = 0xF0 + N (N 0..15), byte 2 = B
               (0..255, default 1). When button N (1..6) carries a DPI
               function, the mouse changes its DPI level by itself and byte 2
               is the new level (0..5):
                 function byte 6:  next enabled level, wrapping from 5 to 0;
                 function byte 11: next enabled level up, staying at the top;
                 function byte 12: next enabled level down, staying at the
                                   bottom.
  release N    send a button report with byte 2 = 0x80.
  unplug       the mouse disappears; Tolvar gets a removal notice.
  plug         the mouse appears again; Tolvar gets an arrival notice.
  state        print the mouse's state in words: each button's function
               byte, each DPI level's step, DPI, colour and whether it is
               enabled or current, the lighting mode, the fire time, the
               report rate, the wheel status, the held keys and the mouse
               buttons.
  quit         end the simulator. The end of standard input, SIGINT and
               SIGTERM end it too: keep standard input open (a terminal, a
               FIFO) for as long as the mouse should stay.

Faults, shown on command:
  refuse [N]       the next N feature reports (default 1) are refused: the
                   send fails and the mouse does not take them.
  delay MS [N]     the answers to the next N feature reports (default 1)
                   come MS milliseconds late (1..60000).
  cut-feature      the next feature report: its connection closes before it
                   is answered (over uhid the send fails, as with refuse).
  cut-input        every input connection closes in the middle of a report
                   (the socket transport only).
  gone-after N     the mouse is unplugged as soon as it has taken N more
                   feature reports (1..1000), as when the cable is pulled
                   in the middle of Apply.
  input B...       send an input report of these bytes (0 to 64 of them).
  random-input N   send N input reports of random length (0..64) and
                   random bytes (1..1000); the same bytes in every run of
                   the simulator.

The log has one line per event, flushed at once, each beginning with the
milliseconds since the simulator started, with three decimals, and a space:
  F 07 20 00 00 00 00 00 00   a feature report received, all its bytes in
                              two-digit upper-case hex
  KEYS 04 06 00 00 00 00      the six held-key slots of command 0x15
  BUTTONS FE                  the mouse-button mask of command 0x16
                              (bit 0 left, 1 right, 2 middle; clear = down)
  CONSUMER 00E9               the consumer usage of command 0x17
  UNPLUG, PLUG                after the commands unplug and plug (UNPLUG also
                              after gone-after)
  REFUSED 07 10 ...           a feature report refused (refuse)
  CUT 07 10 ...               a feature report whose connection was closed
  CUT INPUT                   after cut-input
  INPUT F1 01 ...             an input report of input or random-input
The mouse also sends the keys, mouse buttons and consumer usages to the
computer as keyboard, mouse and consumer input reports, as the real mouse
does.

The feature commands (report id 7, byte 1 the command):
  0x09 DPI level: byte 2 = current level + 0x40, byte 3 = step code x 16 + 8
       + level, byte 4 = enable mask (bit j: level j)
  0x0A report rate code (0: 1000 Hz, 1: 500 Hz, 3: 250 Hz, 7: 125 Hz)
  0x10 function byte (byte 3) of button number byte 2
  0x11 wheel status       0x12 fire time (byte 2 high, byte 3 low)
  0x13 cycle colours (byte 2) and lighting (byte 3: 0x80 + speed mode 0,
       0x90 + speed colour cycle, 0x86 mode 2, 0x87 mode 3)
  0x14 colour of a level: byte 2 = level x 32 + G, byte 3 = R x 16 + B
  0x15 keys   0x16 mouse buttons (byte 3)   0x17 consumer usage   0x20 detach
)";

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }

struct Options {
  std::optional<std::string> socketPath;
  bool uhid = false;
  std::optional<std::string> logPath;
  bool help = false;
};

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--uhid") {
      options.uhid = true;
    } else if ((arg == "--socket" || arg == "--log") && i + 1 < argc) {
      (arg == "--socket" ? options.socketPath : options.logPath) = argv[++i];
    } else {
      error = "unknown or incomplete option: " + std::string(arg);
      return std::nullopt;
    }
  }
  if (options.help) return options;
  if (options.uhid == options.socketPath.has_value()) {
    error = "give exactly one of --socket PATH and --uhid";
    return std::nullopt;
  }
  if (!options.logPath) {
    error = "--log FILE is missing";
    return std::nullopt;
  }
  return options;
}

// Reads one line of standard input; nothing at its end or on a stop signal.
std::optional<std::string> ReadLine(std::string& pending) {
  for (;;) {
    const std::size_t end = pending.find('\n');
    if (end != std::string::npos) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      return line;
    }
    char chunk[512];
    const ssize_t n = read(STDIN_FILENO, chunk, sizeof chunk);
    if (stopRequested) return std::nullopt;
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (pending.empty()) return std::nullopt;
      std::string line;
      line.swap(pending);
      return line;
    }
    pending.append(chunk, static_cast<std::size_t>(n));
  }
}

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a signal ends the wait for input
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const std::optional<Options> options = ParseOptions(argc, argv, error);
  if (!options) {
    std::cerr << "tolvar-mouse-sim: " << error << "\n(see tolvar-mouse-sim --help)\n";
    return 2;
  }
  if (options->help) {
    std::cout << kHelp;
    return 0;
  }

  EventLog log;
  if (!log.Open(*options->logPath, error)) {
    std::cerr << "tolvar-mouse-sim: " << error << "\n";
    return 1;
  }
  InstallSignalHandlers();
  // The transports' threads leave the stop signals to the main thread.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  Simulator simulator(log);
  std::unique_ptr<MouseTransport> transport;
  bool ready = false;
  if (options->uhid) {
    auto uhid = std::make_unique<UhidTransport>(Identity(), simulator);
    ready = uhid->Open(error);
    transport = std::move(uhid);
  } else {
    auto socket = std::make_unique<SocketTransport>(*options->socketPath, Identity(), simulator);
    ready = socket->Listen(error);
    transport = std::move(socket);
  }
  pthread_sigmask(SIG_UNBLOCK, &stopSignals, nullptr);
  simulator.Attach(*transport);
  if (!ready || !simulator.Start(error)) {
    std::cerr << "tolvar-mouse-sim: " << error << "\n";
    return 1;
  }

  std::string pending;
  while (const std::optional<std::string> line = ReadLine(pending)) {
    const ParsedCommand parsed = ParseCommand(*line);
    if (!parsed.error.empty()) {
      std::cerr << "tolvar-mouse-sim: " << parsed.error << "\n";
      continue;
    }
    const Simulator::Outcome outcome = simulator.Execute(parsed.command);
    if (!outcome.output.empty()) std::cout << outcome.output << std::flush;
    if (!outcome.error.empty()) std::cerr << "tolvar-mouse-sim: " << outcome.error << "\n";
    if (outcome.quit) break;
  }
  return 0;
}
