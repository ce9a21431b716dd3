#include "shell/programmer.h"

#include "product.h"
#include "shell/geometry.h"

namespace moltrix {

Programmer::Programmer(platform::Services& services) : svc(services) {
    form.title = kMainWindowTitle;
    form.mnuFileExit.onClick = [this] {
        if (closeMainWindow) closeMainWindow();
    };
}

void Programmer::LoadGeometry() {
    auto& g = form.geometry;
    g.left = ReadTwips(svc.settings, "MainLeft", 100);
    g.top = ReadTwips(svc.settings, "MainTop", 100);
    g.width = ReadTwips(svc.settings, "MainWidth", 100);
    g.height = ReadTwips(svc.settings, "MainHeight", 6500);
}

void Programmer::StoreGeometry() {
    const auto& g = form.geometry;
    WriteTwips(svc.settings, "MainLeft", g.left);
    WriteTwips(svc.settings, "MainTop", g.top);
    WriteTwips(svc.settings, "MainWidth", g.width);
    WriteTwips(svc.settings, "MainHeight", g.height);
}

void Programmer::Form_Load() {
    regs.BoardModel = 0;
    LoadGeometry();
    form.Frame3.rect = {form.Frame3.rect.left, 72, 481, 257};
    regs.SettleFactor = 5;
    regs.PulseFactor = 100;
    regs.LongFactor = 500;
    selection.ResetDeviceControls();
    tables.BuildStartupTables();
    form.MoltrixHardwareFound.caption = "NO HARDWARE FOUND !!!";
    form.Ready_label.foreColor = form::kRed;
    form.Ready_label.caption = "NotReady";
    form.PortSelected.SetText("None");
    for (int i = 0; i < 3; ++i) form.LPTSelection.SetValue(i, false);
    detect.BoardPort = 0;
    regs.PortBase = 0;
    regs.InitStrobeTables();
    detect.ReadBoardIni();
    if (regs.PortBase == 0) detect.TestHardware_button_Click();
    regs.SetupPortModel();
    CrLf = "\r\n";
    lamps.DataFlowLampOff();
    lamps.ProgramLampOff();
    lamps.ErrorLampOff();
    log.Clear();
    form.VScroll1.SetMax(0);
    catalog.BuildDeviceCatalog();
    catalog.FillDeviceList();
    regs.Reset();
    cues.PlayCue("INIT");
}

void Programmer::Form_Unload() {
    regs.Reset();
    if (closeOtherWindows) closeOtherWindows();
    if (form.geometry.state == form::WindowState::Minimized) return;
    StoreGeometry();
}

}  // namespace moltrix
