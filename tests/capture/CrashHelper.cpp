// A host process that photographs a card front and is killed while the
// service is still answering: what a crash in the middle of an upload leaves.
// Usage: capture_crash_helper HOST:PORT CA_FILE
//        capture_crash_helper --start   the next start: configure, begin a
//                                       session, exit 0 once it is stored
#include <cstdio>
#include <cstring>

#include "CaptureTestSupport.h"
#include "capture/EKYCFrontDetectionViewModel.h"
#include "ovira/MainBundle.h"
#include "ovira/OVIRA.h"
#include "ovira/UserDefaults.h"
#include "sdk/EKYCApplication.h"
#include "sdk/EKYCUserDefault.h"

int main(int argc, char** argv) {
    using namespace ovira;
    if (argc == 2 && std::strcmp(argv[1], "--start") == 0) {
        OVIRA::config();
        OVIRA::instance().start();
        return EKYCUserDefault::transactionId() && UserDefaults::standard().synchronize() ? 0 : 1;
    }
    if (argc != 3) return 2;
    MainBundle::main().setObject("EKYCServiceHost", argv[1]);
    MainBundle::main().setObject("EKYCServiceCACertificate", argv[2]);
    MainBundle::main().setObject("EKYCAppID", "crash-test");
    OVIRA::config();
    EKYCApplication().startSession();
    EKYCDetectionServices services;
    services.monitor = std::make_unique<ScriptedNetworkPathMonitor>(NetworkPathStatus::satisfied);
    auto viewModel = makeViewModel<EKYCFrontDetectionViewModel>(EkycTypeDocument::idCard, EKYCImages{},
                                                                std::move(services));
    viewModel->onViewDidLoad();
    while (!viewModel->isConnected()) {
    }
    std::puts("uploading");
    std::fflush(stdout);
    viewModel->verifyImage(test::rasterOf(devserver::test::drawCard()));  // killed in here
    return 0;
}
