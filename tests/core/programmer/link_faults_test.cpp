// Devices that misbehave on the wire: every failure gives the link layer's message, and the
// program is ready for the next operation afterwards.
#include <gtest/gtest.h>

#include "core/programmer/programmer_link.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::LinkRig;
using S = std::vector<std::string>;
using K = sim::FaultKind;

enum class Operation { Search, Version, Update, GangSearch, GangUpdate };
using Op = Operation;

constexpr char kNotFound[] = "Programmer is not found !";
constexpr char kNoResponse[] = "No response from Programmer !";
constexpr char kResponse[] = "Response error !";
constexpr char kReceive[] = "Receive data error !";
constexpr char kGangNoResponse[] = "No response from Gang Programmer !";

struct FaultCase {
  const char* name;
  Operation operation;
  sim::Fault fault;
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
    rig.Add(std::make_unique<sim::GangModel>(0x0700), sim::FaultPlan{{c.fault}});
  } else {
    rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0700), sim::FaultPlan{{c.fault}});
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
        FaultCase{"SearchNothingAnswers", Op::Search, {K::SilentAfter, 0}, 0, {kNotFound}},
        FaultCase{"SearchGarbageTypeCode", Op::Search, {K::CorruptToHost, 4}, 0, {kNotFound}},
        FaultCase{"SearchTooManyBytes", Op::Search, {K::ExtraToHost, 1}, 0, {kNotFound}},
        // The first connection reports the missing type code; the scan then finds the Programmer.
        FaultCase{"SearchTooFewBytes", Op::Search, {K::DropToHost, 4}, 1, {kReceive}},
        FaultCase{"SearchWrongAckFallsBackToTheScan", Op::Search, {K::WrongAck, 1}, 1, {}},
        FaultCase{"SearchLineCut", Op::Search, {K::DisconnectAfter, 1}, 0, {kNotFound}},
        FaultCase{"VersionWrongAck", Op::Version, {K::WrongAck, 1}, 0, {kResponse}},
        FaultCase{"VersionSilent", Op::Version, {K::SilentAfter, 1}, 0, {kNoResponse}},
        FaultCase{"VersionTooFewBytes", Op::Version, {K::DropToHost, 3}, 0, {kReceive}},
        FaultCase{"UpdateNoAckForTransfer", Op::Update, {K::DropToDevice, 1}, 0, {kNoResponse}},
        FaultCase{"UpdateWrongHeaderAck", Op::Update, {K::WrongAck, 2}, 0, {kResponse}},
        FaultCase{"UpdateByteLostInBlock", Op::Update, {K::DropToDevice, 300}, 0, {kNoResponse}},
        FaultCase{"UpdateSilentMidTransfer", Op::Update, {K::SilentAfter, 400}, 0, {kNoResponse}},
        FaultCase{"UpdateWrongCheckAck", Op::Update, {K::WrongAck, 7}, 0, {kResponse}},
        FaultCase{"UpdateSumCorrupted",
                  Op::Update,
                  {K::CorruptToHost, 10},
                  0,
                  {"Programmer's storage checksum error !"}},
        FaultCase{"UpdateSumTooShort", Op::Update, {K::DropToHost, 11}, 0, {kReceive}},
        FaultCase{"UpdateLineCutInHeader", Op::Update, {K::DisconnectAfter, 3}, 0, {"Send data error !"}},
        FaultCase{"UpdateLineCutInBlock", Op::Update, {K::DisconnectAfter, 100}, 0, {kNoResponse}},
        // In gang mode the connection asks for the type at once and reports its missing answer.
        FaultCase{"GangSearchNothingAnswers",
                  Op::GangSearch,
                  {K::SilentAfter, 0},
                  0,
                  {kReceive, "Gang Programmer is not found !"}},
        FaultCase{"GangUpdateWrongAck", Op::GangUpdate, {K::WrongAck, 1}, 0, {"Gang Programmer error !"}},
        FaultCase{"GangUpdateSilent", Op::GangUpdate, {K::SilentAfter, 1}, 0, {kGangNoResponse}},
        // A marker other than 0x5A after block 7 spoils the transfer: no more acknowledges.
        FaultCase{
            "GangUpdateMarkerCorrupted", Op::GangUpdate, {K::CorruptToDevice, 2050}, 0, {kGangNoResponse}},
        FaultCase{"GangUpdateLineCut", Op::GangUpdate, {K::DisconnectAfter, 1000}, 0, {kGangNoResponse}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet
