// The kitchen's printers, checked by a loopback printer of the tests' own
// that reads the ESC/POS it gets: a ticket's text, its table in double size
// and its cut; text in the printer's code page; a printer that refuses
// connections for five seconds, then prints every ticket once, in order;
// and a till killed between a send and its print, whose ticket prints once
// after the restart.
#include <algorithm>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "kitchen/EscPos.h"
#include "kitchen/PrintRoom.h"

#include "journal/Settings.h"
#include "journal/SqliteJournal.h"
#include "service/DayService.h"
#include "tests/ChildProcess.h"
#include "tests/LoopbackPrinter.h"
#include "tests/RunProgram.h"
#include "tests/TempFolder.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

PrintJob jobAt(const std::string& label, std::vector<TicketLine> lines) {
    PrintJob job;
    job.ticket.number = 12;
    job.ticket.station = "kitchen";
    job.ticket.label = label;
    job.ticket.staff = "Ana";
    job.lines = std::move(lines);
    return job;
}

TEST(EscPos, ATicketPrintsItsTableDoubleSizeItsItemsGroupedItsNotesAndACut) {
    const EscPos printer("CP437");
    PrintJob job = jobAt("5", {{"Steak", "", false},
                               {"Steak", "", false},
                               {"Steak", "medium rare", false},
                               {"Tart", "", true}});
    const std::string bytes = printer.ticket(job);
    EXPECT_EQ(bytes.substr(0, 5), std::string("\x1b@\x1bt\x00", 5)) << "ESC @, then CP437";
    const PrintedTicket printed = PrintedTicket::of(bytes);
    EXPECT_EQ(printed.doubled, (std::vector<std::string>{"Table 5"}));
    ASSERT_GE(printed.lines.size(), 5U);
    EXPECT_EQ(printed.lines[0], "Ticket 12  kitchen");
    EXPECT_EQ(std::vector<std::string>(printed.lines.end() - 4, printed.lines.end()),
              (std::vector<std::string>{"2 x Steak", "1 x Steak", "   > medium rare",
                                        "1 x Tart  (held)"}));
    EXPECT_TRUE(printed.cut);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x1dV\x42\x00", 4)) << "cut last";
    EXPECT_FALSE(printed.copy);

    job.started = true;
    job.ticket.heading = "FIRE";
    job.ticket.course = 2;
    job.ticket.label = "";
    const PrintedTicket again = PrintedTicket::of(printer.ticket(job));
    EXPECT_TRUE(again.copy) << "a job cut off before prints as a copy";
    EXPECT_EQ(again.doubled, (std::vector<std::string>{"FIRE course 2", "Counter"}));
}

TEST(EscPos, TextIsWrittenInThePrintersCodePageAndWhatItLacksIsTransliterated) {
    EXPECT_EQ(EscPos("CP437").encoded("Crème brûlée"),
              "Cr\x8Ame br\x96l\x82"
              "e");
    EXPECT_EQ(EscPos("CP858").encoded("5 €"), "5 \xD5");
    EXPECT_EQ(EscPos("CP866").encoded("Crème"), "Creme") << "CP866 has no è";
    EXPECT_EQ(EscPos("CP866").encoded("Борщ"), "\x81\xAE\xE0\xE9");
    EXPECT_EQ(EscPos("CP437").encoded("麻婆 tofu"), "?? tofu");
    EXPECT_EQ(EscPos("CP437").encoded("a\x1b@b"), "a?@b") << "no command hides in a name";
}

class Printers : public TempFolder {
protected:
    Settings printingTo(const std::string& address) {
        Settings settings;
        settings.set("printer.kitchen", address);
        return settings;
    }
};

TEST_F(Printers, APrinterThatRefusesConnectionsForFiveSecondsThenPrintsEveryTicketOnceInOrder) {
    const int port = LoopbackPrinter::freePort();
    LoopbackPrinter printer(port);
    SqliteJournal journal(file("journal.db"), SqliteJournal::Access::till);
    DayService service(Menu(builtinMenu()), journal);
    const Settings settings = printingTo(printer.address());
    service.start(settings.printerStations());
    const PrintRoom room(service, settings);
    for (const char* table : {"1", "2", "3"}) {
        ASSERT_TRUE(
            service.carryOut(AddItems{table, ItemKind::dish, {1, ""}, 1, table, std::nullopt})
                .result);
        ASSERT_TRUE(service.carryOut(SendOrder{table}).result);
    }
    const auto offline = [&] {
        const auto shown = service.snapshot()->offlinePrinters;
        return shown && shown->count("kitchen") != 0;
    };
    for (int wait = 0; wait < 150 && !offline(); ++wait) {
        std::this_thread::sleep_for(milliseconds(20));
    }
    EXPECT_TRUE(offline()) << "every device sees the printer offline";
    std::this_thread::sleep_for(seconds(5));
    printer.start();

    const std::vector<PrintedTicket> printed = printer.tickets(3, seconds(15));
    ASSERT_EQ(printed.size(), 3U);
    for (std::size_t at = 0; at < printed.size(); ++at) {
        EXPECT_EQ(printed[at].doubled.back(), "Table " + std::to_string(at + 1));
        EXPECT_EQ(printed[at].lines.back(), "   > " + std::to_string(at + 1));
        EXPECT_FALSE(printed[at].copy) << "a ticket never begun prints as itself";
        EXPECT_TRUE(printed[at].cut);
    }
    for (int wait = 0; wait < 100 && offline(); ++wait) {
        std::this_thread::sleep_for(milliseconds(20));
    }
    EXPECT_FALSE(offline()) << "the printer is back on every device";
    // The last job is marked done just after its bytes went.
    const auto printing = [&] { return !service.snapshot()->printQueue->empty(); };
    for (int wait = 0; wait < 100 && printing(); ++wait) {
        std::this_thread::sleep_for(milliseconds(20));
    }
    EXPECT_FALSE(printing()) << "every job is done in the journal's queue";
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(printer.tickets(4, milliseconds(0)).size(), 3U) << "none printed twice";
}

TEST_F(Printers, APrinterIsSetByAnAddressAndACodePageAndABadOneIsRefusedInOneLine) {
    const std::string program = std::string(RESTAURANT_PATH) + " settings ";
    const std::string on = " --journal " + file("journal.db") + " 2>&1";
    for (const char* bad : {"printer.kitchen 192.168.1.40", "printer.kitchen tcp://:9100",
                            "printer.kitchen tcp://host:port", "printer.kitchen.codepage UTF-8",
                            "printer.Two.Words x"}) {
        std::string command = program;
        command.append(bad).append(on);
        const ProgramRun refused = runProgram(command);
        EXPECT_EQ(refused.status, 2) << bad;
        EXPECT_EQ(std::count(refused.output.begin(), refused.output.end(), '\n'), 1)
            << refused.output;
    }
    ASSERT_EQ(runProgram(program + "printer.kitchen tcp://192.168.1.40:9100" + on).status, 0);
    ASSERT_EQ(runProgram(program + "printer.bar /dev/usb/lp0" + on).status, 0);
    ASSERT_EQ(runProgram(program + "printer.bar.codepage CP858" + on).status, 0);
    const std::string listed = runProgram(program.substr(0, program.size() - 1) + on).output;
    EXPECT_NE(listed.find("printer.bar: /dev/usb/lp0\nprinter.bar.codepage: CP858\n"
                          "printer.kitchen: tcp://192.168.1.40:9100\n"),
              std::string::npos)
        << listed;
    ASSERT_EQ(runProgram(program + "printer.bar" + on).output, "/dev/usb/lp0\n");
}

TEST_F(Printers, ATillKilledBetweenASendAndItsPrintPrintsTheTicketOnceAfterItsRestart) {
    const std::string program = RESTAURANT_PATH;
    const std::string journal = file("journal.db");
    const int port = LoopbackPrinter::freePort();
    LoopbackPrinter printer(port);
    ASSERT_EQ(runProgram(program + " settings printer.kitchen " + printer.address() +
                         " --journal " + journal)
                  .status,
              0);
    {
        ChildProcess till({program, "--journal", journal});
        till.type("table 5\nadd dish 1 note no onions\nsend\n");
        std::string line;
        while (till.readLine(line, seconds(5)) && line.rfind("Sent ", 0) != 0) {
        }
        ASSERT_EQ(line.rfind("Sent table 5's order: ticket 1 to kitchen", 0), 0U) << line;
        ASSERT_TRUE(till.kill());
    }
    printer.start();
    const ProgramRun restarted =
        runProgram("printf 'tables\\n' | " + program + " --journal " + journal);
    EXPECT_NE(restarted.output.find("Resumed day 1"), std::string::npos) << restarted.output;
    const std::vector<PrintedTicket> printed = printer.tickets(1, seconds(5));
    ASSERT_EQ(printed.size(), 1U);
    EXPECT_EQ(printed[0].doubled, (std::vector<std::string>{"Table 5"}));
    EXPECT_EQ(printed[0].lines.back(), "   > no onions");
    EXPECT_FALSE(printed[0].copy);
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(printer.tickets(2, milliseconds(0)).size(), 1U) << "printed once";
}

}  // namespace
