#include "service/ModemReply.h"

#include <gtest/gtest.h>

#include "service/ModemText.h"

namespace orsa::service {
namespace {

using Outcome = ModemReply::Outcome;
using Lines = std::vector<std::string>;

TEST(ModemReplyTest, AnAnswerIsOverOnlyAtItsFinalResultWithTheEchoSkipped) {
  struct Case {
    const char* name;
    std::string received;
    std::string command;
    bool promptDue;
    Outcome outcome;
    Lines lines;
    std::string finalLine;
  };
  const Case cases[] = {
      {"echo, information, OK",
       "AT+GSN\r\r\n866104023456786\r\n\r\nOK\r\n",
       "AT+GSN\r\n",
       false,
       Outcome::Ok,
       {"866104023456786"},
       "OK"},
      {"no echo", "\r\n866104023456786\r\n\r\nOK\r\n", "AT+GSN\r\n", false, Outcome::Ok, {"866104023456786"}, "OK"},
      {"a 15-byte wait's worth is not an answer",
       "AT+GSN\r\r\n866104023",
       "AT+GSN\r\n",
       false,
       Outcome::Pending,
       {},
       ""},
      {"OK inside the echo is no OK", "ATE0\r", "ATE0\r\n", false, Outcome::Pending, {}, ""},
      {"an unsolicited line before the echo", "\r\nRING\r\nATH0\r\r\nOK\r\n", "ATH0\r\n", false, Outcome::Ok, {}, "OK"},
      {"the modem's own error",
       "AT+GSN\r\r\n+CME ERROR: 3\r\n",
       "AT+GSN\r\n",
       false,
       Outcome::Error,
       {},
       "+CME ERROR: 3"},
      {"a message error",
       "\r\n+CMS ERROR: 500\r\n",
       "AT+CMGS=\"+7916\"\r\n",
       true,
       Outcome::Error,
       {},
       "+CMS ERROR: 500"},
      {"the prompt ends without a line end",
       "AT+CMGS=\"+7916\"\r\r\n> ",
       "AT+CMGS=\"+7916\"\r\n",
       true,
       Outcome::Prompt,
       {},
       ">"},
      {"a prompt where none is due", "\r\n> ", "AT\r\n", false, Outcome::Pending, {}, ""},
      {"the echo of a message text",
       "866104023456786\r\n+CMGS: 7\r\n\r\nOK\r\n",
       "866104023456786\x1A",
       false,
       Outcome::Ok,
       {"+CMGS: 7"},
       "OK"},
      {"a call's answers", "\r\nBUSY\r\n", "ATD+7916;\r\n", false, Outcome::Busy, {}, "BUSY"},
      {"", "\r\nNO CARRIER\r\n", "ATD+7916;\r\n", false, Outcome::NoCarrier, {}, "NO CARRIER"},
      {"a word that merely holds OK", "\r\nBOOK\r\n", "AT\r\n", false, Outcome::Pending, {"BOOK"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ModemReply reply = parseModemReply(c.received, c.command, c.promptDue);
    EXPECT_EQ(reply.outcome, c.outcome);
    EXPECT_EQ(reply.lines, c.lines);
    EXPECT_EQ(reply.finalLine, c.finalLine);
  }
}

TEST(ModemReplyTest, TheLogQuotesTheModemOrSaysItWasSilent) {
  EXPECT_EQ(describeModemReply(parseModemReply("\r\n+CME ERROR: 10\r\n", "AT+CPBW\r\n", false)),
            "модем ответил «+CME ERROR: 10»");
  EXPECT_EQ(describeModemReply(parseModemReply("\r\n12345\r\n\r\nOK\r\n", "AT+GSN\r\n", false)),
            "модем ответил «12345 OK»");
  ModemReply silent;
  silent.outcome = Outcome::TimedOut;
  EXPECT_EQ(describeModemReply(silent), "модем не ответил");
  ModemReply cut = parseModemReply("\r\n86610\x01", "AT+GSN\r\n", false);
  cut.outcome = Outcome::TimedOut;
  EXPECT_EQ(describeModemReply(cut), "модем ответил «86610\\x01» без итогового кода");
}

TEST(ModemTextTest, WhatMayReachTheModemFromAPerson) {
  EXPECT_TRUE(isValidImei("866104023456786"));
  EXPECT_FALSE(isValidImei("866104023456787")) << "check digit";
  EXPECT_FALSE(isValidImei("86610402345678")) << "14 digits";

  EXPECT_EQ(dialablePhoneNumber("+7 (916) 123-45-67"), "+79161234567");
  EXPECT_EQ(dialablePhoneNumber("*100#"), "*100#");
  EXPECT_EQ(dialablePhoneNumber("112"), "112");
  for (const char* refused : {"12", "+123456789012345678901", "+7916;\r\nATD112;", "+7916\"", "7916,1", "", "+"}) {
    EXPECT_EQ(dialablePhoneNumber(refused), std::nullopt) << refused;
  }
  EXPECT_TRUE(isSafeModemFileName("Звонок 1.AMR"));
  for (const char* refused : {"x\r\nATD112;\r\ny.AMR", "a\"b.AMR", "a,b.AMR", "a;b.AMR", "a\\b.AMR", "C:b.AMR", ""}) {
    EXPECT_FALSE(isSafeModemFileName(refused)) << refused;
  }
}

}  // namespace
}  // namespace orsa::service
