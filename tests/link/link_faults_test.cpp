// Devices that misbehave on the wire: every failure gives the link layer's message, and the
// program is ready for the next operation afterwards.
#include <gtest/gtest.h>

#include "link/programmer_link.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::LinkRig;
using S = std::vector<std::string>;
using K = sim::FaultKind;

enum class Operation { Search, Version, Update, GangSearch, GangUpdate };

struct FaultCase {
  const char* name;
  Operation operation;
  sim::FaultPlan faults;
  int result;
  S failures;
};

bool IsGang(Operation operation) {
  return operation == Operation::GangSearch || operation == Operation::GangUpdate;
}

int RunOperation(LinkRig& rig, Operation operation) {
  switch (operation) {
    case Operation::Search:
      return rig.link.SearchProgrammer();
    case Operation::Version:
      return rig.link.QueryProgrammerVersion();
    case Operation::Update:
      return rig.link.UpdateProgrammerFirmware();
    case Operation::GangSearch:
      return rig.link.SearchGangProgrammer();
    case Operation::GangUpdate:
      return rig.link.UpdateGangFirmware();
  }
  return -1;
}

class LinkFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(LinkFault, ReportsAndLeavesTheLinkUsable) {
  const FaultCase& c = GetParam();
  LinkRig rig;
  rig.job.PartCode = 110;
  if (IsGang(c.operation)) {
    rig.job.ProgrammerMode = kModeGang;
    DeriveModeFlags(rig.job);
    rig.Add(std::make_unique<sim::GangModel>(0x0700), c.faults);
  } else {
    rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0700), c.faults);
  }
  rig.Remember("sim:1");
  if (c.operation != Operation::Search && c.operation != Operation::GangSearch) {
    ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
    rig.link.Variant = FirmwareVariant::Icp;
  }
  EXPECT_EQ(RunOperation(rig, c.operation), c.result);
  EXPECT_EQ(rig.Failures(), c.failures);

  // The next operation, with a sound device on another port, runs normally.
  rig.reporter.Clear();
  if (IsGang(c.operation)) {
    rig.Add(std::make_unique<sim::GangModel>(0x0710));
  } else {
    rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0710));
  }
  rig.Remember("sim:2");
  EXPECT_EQ(IsGang(c.operation) ? rig.link.SearchGangProgrammer() : rig.link.SearchProgrammer(), 1);
  EXPECT_TRUE(rig.Failures().empty());
}

// Byte counts to the device in an update of the rig's 600-byte file: 0xC5 is 1, the header 2..6,
// the blocks 7..262, 263..518, 519..606. To the host: acknowledges 1 (0xC5), 2 (header), 3..5
// (blocks), 6..8 (checks), then the sum bytes 9..11.
INSTANTIATE_TEST_SUITE_P(
    Cases, LinkFault,
    ::testing::Values(
        FaultCase{"SearchNothingAnswers",
                  Operation::Search,
                  {{{K::SilentAfter, 0}}},
                  0,
                  {"Programmer is not found !"}},
        FaultCase{"SearchGarbageTypeCode",
                  Operation::Search,
                  {{{K::CorruptToHost, 4}}},
                  0,
                  {"Programmer is not found !"}},
        FaultCase{"SearchTooManyBytes",
                  Operation::Search,
                  {{{K::ExtraToHost, 1}}},
                  0,
                  {"Programmer is not found !"}},
        // The first connection reports the missing type code; the scan then finds the Programmer.
        FaultCase{
            "SearchTooFewBytes", Operation::Search, {{{K::DropToHost, 4}}}, 1, {"Receive data error !"}},
        FaultCase{"SearchWrongAckFallsBackToTheScan", Operation::Search, {{{K::WrongAck, 1}}}, 1, {}},
        FaultCase{"SearchLineCut",
                  Operation::Search,
                  {{{K::DisconnectAfter, 1}}},
                  0,
                  {"Programmer is not found !"}},
        FaultCase{"VersionWrongAck", Operation::Version, {{{K::WrongAck, 1}}}, 0, {"Response error !"}},
        FaultCase{"VersionSilent",
                  Operation::Version,
                  {{{K::SilentAfter, 1}}},
                  0,
                  {"No response from Programmer !"}},
        FaultCase{
            "VersionTooFewBytes", Operation::Version, {{{K::DropToHost, 3}}}, 0, {"Receive data error !"}},
        FaultCase{"UpdateNoAckForTransfer",
                  Operation::Update,
                  {{{K::DropToDevice, 1}}},
                  0,
                  {"No response from Programmer !"}},
        FaultCase{"UpdateWrongHeaderAck", Operation::Update, {{{K::WrongAck, 2}}}, 0, {"Response error !"}},
        FaultCase{"UpdateByteLostInBlock",
                  Operation::Update,
                  {{{K::DropToDevice, 300}}},
                  0,
                  {"No response from Programmer !"}},
        FaultCase{"UpdateSilentMidTransfer",
                  Operation::Update,
                  {{{K::SilentAfter, 400}}},
                  0,
                  {"No response from Programmer !"}},
        FaultCase{"UpdateWrongCheckAck", Operation::Update, {{{K::WrongAck, 7}}}, 0, {"Response error !"}},
        FaultCase{"UpdateSumCorrupted",
                  Operation::Update,
                  {{{K::CorruptToHost, 10}}},
                  0,
                  {"Programmer's storage checksum error !"}},
        FaultCase{
            "UpdateSumTooShort", Operation::Update, {{{K::DropToHost, 11}}}, 0, {"Receive data error !"}},
        FaultCase{"UpdateLineCutInHeader",
                  Operation::Update,
                  {{{K::DisconnectAfter, 3}}},
                  0,
                  {"Send data error !"}},
        FaultCase{"UpdateLineCutInBlock",
                  Operation::Update,
                  {{{K::DisconnectAfter, 100}}},
                  0,
                  {"No response from Programmer !"}},
        // In gang mode the connection asks for the type at once and reports its missing answer.
        FaultCase{"GangSearchNothingAnswers",
                  Operation::GangSearch,
                  {{{K::SilentAfter, 0}}},
                  0,
                  {"Receive data error !", "Gang Programmer is not found !"}},
        FaultCase{"GangUpdateWrongAck",
                  Operation::GangUpdate,
                  {{{K::WrongAck, 1}}},
                  0,
                  {"Gang Programmer error !"}},
        FaultCase{"GangUpdateSilent",
                  Operation::GangUpdate,
                  {{{K::SilentAfter, 1}}},
                  0,
                  {"No response from Gang Programmer !"}},
        // A marker other than 0x5A after block 7 spoils the transfer: no more acknowledges.
        FaultCase{"GangUpdateMarkerCorrupted",
                  Operation::GangUpdate,
                  {{{K::CorruptToDevice, 2050}}},
                  0,
                  {"No response from Gang Programmer !"}},
        FaultCase{"GangUpdateLineCut",
                  Operation::GangUpdate,
                  {{{K::DisconnectAfter, 1000}}},
                  0,
                  {"No response from Gang Programmer !"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet
