// A failed exchange never leads on: no firmware update starts on a version that was not read, and
// a byte left over from a failed exchange is never taken for the next command's answer.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/programmer/programmer_link.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::LinkRig;
using K = sim::FaultKind;

struct Outcome {
  int query = 0;           // the version query alone, after the search
  bool transfer = false;   // 0xC5 went out in the search and firmware check
  uint16_t version = 0;    // the version the link read
  bool recovered = false;  // a search on a sound device afterwards
};

// One run of the search and the firmware check that Update Chip starts with, on a device at
// 0x0700 with one fault. `query_only` stops after the version query instead.
Outcome RunSearch(bool gang, sim::Fault fault, bool query_only) {
  LinkRig rig;
  rig.job.PartCode = 110;
  rig.job.ProgrammerMode = gang ? kModeGang : 0;
  DeriveModeFlags(rig.job);
  if (gang) {
    rig.Add(std::make_unique<sim::GangModel>(0x0700), sim::FaultPlan{{fault}});
  } else {
    rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0700), sim::FaultPlan{{fault}});
  }
  rig.Remember("sim:1");
  WireTrace sent_by_program;  // what the program wrote, before the line's faults
  rig.port.SetTrace(&sent_by_program);
  Outcome outcome;
  ProgrammerLink& link = rig.link;
  if (gang ? link.SearchGangProgrammer() : link.SearchProgrammer()) {
    if (query_only) {
      outcome.query = gang ? link.QueryGangVersion() : link.QueryProgrammerVersion();
    } else {
      gang ? link.CheckGangFirmware() : link.CheckProgrammerFirmware();
    }
  }
  const auto sent = sent_by_program.Bytes(WireDirection::ToDevice);
  rig.port.SetTrace(nullptr);
  outcome.transfer = std::find(sent.begin(), sent.end(), uint8_t{0xC5}) != sent.end();
  outcome.version = link.ProgrammerFirmwareVersion;

  if (gang) {
    rig.Add(std::make_unique<sim::GangModel>(0x0710));
  } else {
    rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0710));
  }
  rig.Remember("sim:2");
  outcome.recovered = gang ? link.SearchGangProgrammer() : link.SearchProgrammer();
  return outcome;
}

// Every fault kind at each of the first bytes of the search and the version query: the transfer
// starts exactly when a version was read (and is not 0x0710), and the link works afterwards.
TEST(FailSafe, NoTransferWithoutAVersionRead) {
  const K kinds[] = {K::DropToDevice, K::CorruptToDevice, K::DropToHost,  K::CorruptToHost,
                     K::ExtraToHost,  K::WrongAck,        K::SilentAfter, K::DisconnectAfter};
  for (const bool gang : {false, true}) {
    for (const K kind : kinds) {
      for (uint32_t n = 1; n <= 9; ++n) {
        const sim::Fault fault{kind, n};
        const Outcome query = RunSearch(gang, fault, true);
        const Outcome check = RunSearch(gang, fault, false);
        const bool stale = gang && query.version < 0x0119;  // too old to be updated
        const bool expected_transfer = query.query == 1 && query.version != 0x0710 && !stale;
        EXPECT_EQ(check.transfer, expected_transfer)
            << (gang ? "gang " : "") << sim::FaultText(fault) << " version " << query.version;
        EXPECT_TRUE(check.recovered) << (gang ? "gang " : "") << sim::FaultText(fault);
      }
    }
  }
}

// The wrong acknowledge is followed by the two version bytes; the next command must not read them.
TEST(FailSafe, LeftoverInputIsDiscardedBeforeTheNextCommand) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0710), sim::FaultPlan{{{K::WrongAck, 1}}});
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  EXPECT_EQ(rig.link.QueryProgrammerVersion(), 0);
  rig.clock.Advance(Millis(5));  // the version bytes have arrived meanwhile
  EXPECT_EQ(rig.link.QueryProgrammerVersion(), 1);
  EXPECT_EQ(rig.link.ProgrammerFirmwareVersion, 0x0710);
  EXPECT_EQ(rig.Failures(), std::vector<std::string>{"Response error !"});
}

}  // namespace
}  // namespace quillet
