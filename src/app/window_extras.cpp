#include "app/window_extras.h"

#include <array>
#include <string>
#include <string_view>

#include "station/port_names.h"
#include "version.h"

namespace vantorel::app {
namespace {

constexpr std::string_view kExpandCaption = "Expand";
constexpr std::string_view kCollapseCaption = "Collapse";

// The first line is what users of the original tool know to look for; the
// rest says what this program is and which build it is.
constexpr std::string_view kAboutBeginning = "Catmux version 1.1\n";
constexpr std::string_view kAboutText =
    ": lets a program that speaks Yaesu FT-950 CAT run a Kenwood transceiver, "
    "and shares the radio's CAT port with a second program.";

// The set-up steps as users have always read them, spelling and spacing
// included (the third step really ends in two blanks).
constexpr std::array<std::string_view, 8> kHelpParagraphs{
    "The program will convert the Rigdesk output to Kenwood Format so that you can remotely "
    "operate your Kenwood using the Rigdesk emulation. Select FT-950 in the Rigdesk emulation.",
    "Here's a list of steps to get the program running:",
    "1) Setup a pair of linked virtual serial ports. I used com0com to do this (free on the "
    "internet) Port 10 and port 11.  ",
    "2)In Rigdesk enter port 10 as the output port.",
    "3)In the program enter 11 as 'App 1 Com Port' and enter the actual port that is attached "
    "to your rig in 'Radio Com Port'",
    "4)Enter the baud rate that your rig is set for as well as Data Bits, Parity, and Stop Bits.",
    "5)Click the start button. Rigdesk should now be talking to your Kenwood rig.",
    "NOTE:If your rig can be turned on and off remotely you should check the checkbox "
    "'Power On/Off'",
};
constexpr std::string_view kParagraphBreak = "\r\n\r\n";

// What a station on Linux needs first; the steps above follow it unchanged.
// `virtualPort` is the virtual port offered for App 1 ("pty:PATH").
std::string LinuxHelp(const std::string& virtualPort) {
  const std::string path = virtualPort.substr(virtualPort.find(':') + 1);
  return "ON LINUX\r\n\r\n"
         "App 1's port: Vantorel makes a virtual serial port itself, no com0com or socat is "
         "needed. Choose " +
         virtualPort +
         " in 'FT-950 Virtual Port' (any pty:PATH will do) and press Start; then "
         "point App 1 at " +
         path + " (under Wine, link it as a COM port: ln -s " + path +
         " ~/.wine/dosdevices/com10)." + std::string(kParagraphBreak) +
         "The radio: choose its serial device in 'Radio Com Port' (the /dev/serial/by-id/ names "
         "stay the same when the adapter is plugged in elsewhere), or sim:kenwood, a simulated "
         "Kenwood radio inside Vantorel, to try everything without hardware." +
         std::string(kParagraphBreak) +
         "The Mode (Expand): 'Translating' is for the remote-control program this tool was made "
         "for, which expects its commands echoed back; 'Translating, FT-950 emulation' is for "
         "standard FT-950 programs (Hamlib's rigctl -m 1028 and the programs built on it). A "
         "standard program that reports protocol errors needs the emulation." +
         std::string(kParagraphBreak) +
         "Network ports: tcp:HOST:PORT reaches a radio served on the network (ser2net), "
         "tcp-listen:PORT lets one application connect to Vantorel, and tls:HOST:PORT with "
         "tls-listen:PORT join a remote station over an encrypted link (Make Certificate)." +
         std::string(kParagraphBreak) + "THE ORIGINAL STEPS (WINDOWS)" +
         std::string(kParagraphBreak);
}

constexpr std::string_view kCheck2Hint =
    "Check this box if the source and destination are both FT-950's";
constexpr std::string_view kMonitorTXHint =
    "Check this box if you want to monitor transmit and shut down the system if XT is greater "
    "than specified";
constexpr std::string_view kPWROnHint =
    "Check this box if the rig you are controlling can be truned on and off remotely";
constexpr std::string_view kLabel11Hint =
    "Enter the first few characters of the title that is on the title bar of the program";

std::string HelpText() {
  std::string text = LinuxHelp(station::DefaultApp1PtyName());
  for (std::size_t i = 0; i < kHelpParagraphs.size(); ++i) {
    if (i > 0) {
      text += kParagraphBreak;
    }
    text += kHelpParagraphs[i];
  }
  return text;
}

}  // namespace

WindowExtras::WindowExtras(model::CatmuxModel& model, MessageBoxes& messages, Desktop& desktop,
                           std::function<std::string()> makeCertificate)
    : model_(model),
      messages_(messages),
      desktop_(desktop),
      makeCertificate_(std::move(makeCertificate)) {
  attached_.Attach(model_.EXP.onClick, [this] { EXP_Click(); });
  attached_.Attach(model_.Abt.onClick, [this] { Abt_Click(); });
  attached_.Attach(model_.Hlp.onClick, [this] { Hlp_Click(); });
  attached_.Attach(model_.HlpForm.Command1.onClick, [this] { HlpForm_Command1_Click(); });
  attached_.Attach(model_.Picture1.onClick, [this] { Picture1_Click(); });
  attached_.Attach(model_.Check2.onMouseMove, [this] { Check2_MouseMove(); });
  attached_.Attach(model_.Label11.onMouseMove, [this] { Label11_MouseMove(); });
  attached_.Attach(model_.MonitorTX.onMouseMove, [this] { MonitorTX_MouseMove(); });
  attached_.Attach(model_.PWROn.onMouseMove, [this] { PWROn_MouseMove(); });
  attached_.Attach(model_.MakeCertificate.onClick, [this] { MakeCertificate_Click(); });
}

// The menu caption is the only record of whether the window is expanded.
void WindowExtras::EXP_Click() {
  if (model_.EXP.Caption() == kExpandCaption) {
    model_.EXP.SetCaption(std::string(kCollapseCaption));
    model_.SetWidth(model::kExpandedWidth);
    model_.SetHeight(model::kExpandedHeight);
  } else {
    model_.EXP.SetCaption(std::string(kExpandCaption));
    model_.SetHeight(model::kCollapsedHeight);
    model_.SetWidth(model::kCollapsedWidth);
  }
}

void WindowExtras::Abt_Click() {
  messages_.MsgBox(std::string(kAboutBeginning) + "Vantorel " + kVersion + std::string(kAboutText));
}

// Help chosen again while the window is open shows the same window with the
// text set anew, never a second window.
void WindowExtras::Hlp_Click() {
  std::string text = HelpText();
  model_.HlpForm.Show();
  model_.HlpForm.Text1.SetText(std::move(text));
}

void WindowExtras::HlpForm_Command1_Click() { model_.HlpForm.Unload(); }

// The folder where the settings and capture files are read and written.
void WindowExtras::Picture1_Click() { messages_.MsgBox(desktop_.CurrentFolder()); }

// A control has no hint until the pointer first moves over it.
void WindowExtras::Check2_MouseMove() { model_.Check2.SetToolTipText(std::string(kCheck2Hint)); }

void WindowExtras::Label11_MouseMove() { model_.Label11.SetToolTipText(std::string(kLabel11Hint)); }

void WindowExtras::MonitorTX_MouseMove() {
  model_.MonitorTX.SetToolTipText(std::string(kMonitorTXHint));
}

void WindowExtras::PWROn_MouseMove() { model_.PWROn.SetToolTipText(std::string(kPWROnHint)); }

void WindowExtras::MakeCertificate_Click() {
  if (makeCertificate_) {
    messages_.MsgBox(makeCertificate_());
  }
}

}  // namespace vantorel::app
