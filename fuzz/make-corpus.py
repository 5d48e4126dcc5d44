#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/: a few small inputs each,
shaped like what the parser meets in use, so the fuzzer starts from the interesting paths."""
import functools
import operator
import pathlib
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data.encode("latin-1") if isinstance(data, str) else data)


def text_field(text, width):
    raw = text.encode("cp1251")[:width]
    return raw + bytes(width - len(raw))


def settings_image(phone, host, port, zone):
    image = bytearray(118)
    image[0:3] = b"\x01\x01\x01"
    image[3:33] = text_field(phone, 30)
    image[33:35] = struct.pack("<H", 1234)
    image[35] = 3
    image[36:41] = text_field("12:00", 5)
    image[43:75] = text_field(host, 32)
    image[75:77] = struct.pack("<H", port)
    image[81:91] = text_field("*100#", 10)
    image[92:109] = text_field("08:00-20:00", 17)
    image[113:118] = zone.encode("ascii")
    return bytes(image)


def nmea(body):
    checksum = functools.reduce(operator.xor, body.encode("ascii"), 0)
    return "$%s*%02X\r\n" % (body, checksum)


def frame(kind, parameter, data=b"", length=None):
    return struct.pack("<BII", kind, parameter, len(data) if length is None else length) + data


def main():
    write("settings_file", "full.cfg", settings_image("+79001234567", "gps.example.org", 20100, "10101"))
    write("settings_file", "long-texts.cfg", settings_image("8" * 30, "h" * 32, 65535, "11111"))
    write("settings_file", "short.cfg", b"\x01\x01\x01+7900")
    write("settings_file", "ones.cfg", b"\xff" * 118)

    write("settings_json", "phone.json", '{"OwnerPhone": "+79001234567", "ServerPort": "20100"}')
    write("settings_json", "cyrillic.json", '{"BalanceCode": "\u0431\u0430\u043b\u0430\u043d\u0441", "TimeZone": "3"}'.encode())
    write("settings_json", "twice.json", '{"ServerHost": "a", "serverhost": "b"}')
    write("settings_json", "not-object.json", '["OwnerPhone", {"x": [1, 2.5e3, null, true]}]')
    write("settings_json", "escaped.json", '{"ZoneControl": "\\u0031\\t0101", "GuardIntervals": "\\ud83d\\ude00"}')

    write("firmware_file", "header-only.fmw", b"\xaa" * 15)
    write("firmware_file", "small.fmw", b"\xaa" * 15 + bytes(range(200)))
    write("firmware_file", "limit-length", struct.pack("<Q", 0xFFFFFFFF - 0x08006400 + 15))
    write("firmware_file", "short", b"\x01\x02")

    # FuzzedDataProvider takes the value from the front (a backslash and another character end it)
    # and the key's number and letter case from the back.
    write("config_ini", "windows.ini", "D:\\\\orsa\\n[config]\r\nDirectory=C:\\orsa\r\nPhone=+79001234567\r\n\x00\x00\x00\x00\x01")
    write("config_ini", "bom-unix.ini", "+7900\\n\xef\xbb\xbf[Config]\nFIRMWAREPATH = \"C:\\fw\\a.bin\"\n[other]\nPhone=1\n\xff\xff\xff\xff\x03")
    write("config_ini", "no-section.ini", "x\\n; comment\r\nkey=value\r\n[ config ]\r\n\r\n[config]\r\nDAPath=first\x10\x20\x30\x40\x02")

    write("modem_answer", "fsmem", "\r\n+FSMEM: C:524288,E:0\r\n\r\nOK\r\n")
    write("modem_answer", "fsmem-huge", "\r\n+FSMEM: C:99999999999\r\n")
    write("modem_answer", "gsn", "\r\n356938035643809\r\n\r\nOK\r\n")
    write("modem_answer", "gsn-short", "AT+GSN\r\r\n3569\x00\x00junk")
    write("modem_answer", "path", "C:\\sounds/alarm:1.amr")

    write("nmea", "fix-3d", nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
          + nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W")
          + nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1")
          + nmea("GLGSA,A,3,65,66,,,,,,,,,,,2.5,1.3,2.1"))
    write("nmea", "in-view", nmea("GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45")
          + nmea("GLGSV,1,1,02,65,30,100,40,66,10,200,35") + nmea("GNGSA,A,2,01,02,,,,,,,,,,,3.0,2.0,2.2"))
    write("nmea", "noise", "\x00$GPGGA,1*00\r\n$GPRMC,,V,,,,,,,,,,N*53\n$$GPGGA\r\xff" + nmea("GPGGA,,,,,,0,,,,,,,,"))

    write("frame_parser", "erase-then-block", frame(10, 0) + frame(11, 0x08006400, b"\xde\xad\xbe\xef"))
    write("frame_parser", "settings-read", frame(1, 0, b"\x05") + frame(2, 7, b"+79001234567\x00"))
    write("frame_parser", "too-long", frame(11, 0, length=2501) + frame(1, 0))
    write("frame_parser", "partial", frame(11, 0x08006400, b"\x00" * 8, length=64))


if __name__ == "__main__":
    main()
