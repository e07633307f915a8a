// A C# program over the library's C interface, through P/Invoke as any .NET
// program calls it: settings by name and a few functions of their own, texts
// as code page 932 bytes, one-byte bools, size_t as UIntPtr and a struct. It
// checks the settings files it changes byte for byte and exits with 1 when a
// check fails.
//
//   mono CSharpConsumer.exe LIBRARY
//
// LIBRARY is the library file the program must have loaded (DllImport finds
// "TrassoJkn" through the loader's search path, e.g. LD_LIBRARY_PATH).
using System;
using System.Collections.Generic;
using System.IO;
using System.Runtime.InteropServices;
using System.Text;

enum JknStatus : int {
  Ok = 0,
  FolderMissing = 1,
  NotAFolder = 2,
  FileIsFolder = 3,
  NotAFile = 4,
  ReadOnly = 5,
  AccessDenied = 6,
  Refused = 7,
  OutOfRange = 8,
  DiskFull = 9,
  Busy = 10,
  IoError = 11,
  UnknownSetting = 12,
  BadSelector = 13,
  BadValue = 14,
  NotSettable = 15
}

[StructLayout(LayoutKind.Sequential)]
struct JknRtkConnectProp {
  public int Radio;
  public int Hosei;
  public int FlowCTS;
  public int PortNo;
  public uint BaudRate;
  public byte Parity;
}

static class Native {
  const string Lib = "TrassoJkn";

  // Static texts: returned as IntPtr, since a string return would be freed.
  [DllImport(Lib)] public static extern IntPtr jkn_status_text(JknStatus status);
  [DllImport(Lib)] public static extern UIntPtr jkn_setting_count();
  [DllImport(Lib)] public static extern IntPtr jkn_setting_name(UIntPtr index);

  // Texts are NUL-terminated byte arrays; null passes NULL.
  [DllImport(Lib)]
  public static extern JknStatus jkn_get(byte[] name, byte[] selector, [Out] byte[] buffer,
                                         UIntPtr capacity, out UIntPtr length);
  [DllImport(Lib)]
  public static extern JknStatus jkn_set(byte[] name, byte[] selector, byte[] value);
  [DllImport(Lib)] public static extern JknStatus jkn_reset(byte[] name, byte[] selector);

  [DllImport(Lib)] public static extern int jkn_GetQZJkn_GNSS_Page();
  [DllImport(Lib)] public static extern JknStatus jkn_PutQZJkn_GNSS_Page(int value);
  [DllImport(Lib)] public static extern ushort jkn_GetQZJkn_GNSS_MaskSate(int mode);
  [DllImport(Lib)]
  public static extern JknStatus jkn_PutQZJkn_GNSS_MaskSate(int mode, ushort value);
  [DllImport(Lib)]
  public static extern UIntPtr jkn_GetQZJkn_GNSS_UserID([Out] byte[] buffer, UIntPtr capacity);
  [DllImport(Lib)] public static extern JknStatus jkn_PutQZJkn_GNSS_UserID(byte[] text);
  [DllImport(Lib)]
  public static extern void jkn_GetQZJkn_GNSS_RTKConnectProp(int side, out JknRtkConnectProp prop);
  [DllImport(Lib)]
  public static extern JknStatus jkn_PutQZJkn_GNSS_RTKConnectProp(int side,
                                                                  ref JknRtkConnectProp prop);
  // C's bool is one byte; the default marshaling would read four.
  [DllImport(Lib)]
  [return: MarshalAs(UnmanagedType.I1)]
  public static extern bool jkn_QZJknTool_IsGeoidFileISG(byte[] path);

  // The library reads its roots with getenv, so they are set in the C runtime.
  [DllImport("libc")] public static extern int setenv(string name, string value, int overwrite);
  [DllImport("libc")] public static extern int chmod(string path, uint mode);
  // Into a buffer of PATH_MAX bytes: memory from the C runtime's malloc is
  // not freed here, as a preloaded sanitizer runtime owns it.
  [DllImport("libc")] public static extern IntPtr realpath(string path, [Out] byte[] resolved);
}

static class Consumer {
  static int failures = 0;

  static void Check(bool ok, string what) {
    if (!ok) {
      ++failures;
      Console.Error.WriteLine("FAILED: " + what);
    }
  }

  static string Show(byte[] bytes) {
    if (bytes == null) return "(no file)";
    var s = new StringBuilder();
    foreach (byte b in bytes) {
      if (b >= 0x20 && b < 0x7f && b != (byte)'\\') s.Append((char)b);
      else s.AppendFormat("\\x{0:x2}", b);
    }
    return s.ToString();
  }

  static void CheckBytes(byte[] got, byte[] expected, string what) {
    bool same = got != null && expected != null && got.Length == expected.Length;
    for (int i = 0; same && i < got.Length; ++i) same = got[i] == expected[i];
    if (got == null && expected == null) same = true;
    Check(same, what + ": " + Show(got) + ", expected " + Show(expected));
  }

  static void CheckStatus(JknStatus got, JknStatus expected, string what) {
    Check(got == expected, what + ": " + got + ", expected " + expected);
  }

  // ASCII text as a C string; null stays NULL.
  static byte[] C(string text) {
    return text == null ? null : Encoding.ASCII.GetBytes(text + "\0");
  }

  static byte[] C(byte[] bytes) {
    var c = new byte[bytes.Length + 1];
    Array.Copy(bytes, c, bytes.Length);
    return c;
  }

  static byte[] Ascii(string text) { return Encoding.ASCII.GetBytes(text); }

  static byte[] Concat(params byte[][] parts) {
    var all = new List<byte>();
    foreach (byte[] p in parts) all.AddRange(p);
    return all.ToArray();
  }

  static string Text(IntPtr text) {
    return text == IntPtr.Zero ? null : Marshal.PtrToStringAnsi(text);
  }

  // jkn_get into a small buffer first, then again with room for the whole value.
  static JknStatus Get(string name, string selector, out byte[] value) {
    value = null;
    var buffer = new byte[8];
    while (true) {
      UIntPtr length;
      JknStatus s =
          Native.jkn_get(C(name), C(selector), buffer, (UIntPtr)buffer.Length, out length);
      if (s != JknStatus.Ok) return s;
      ulong n = length.ToUInt64();
      if (n < (ulong)buffer.Length) {
        value = new byte[n];
        Array.Copy(buffer, value, (int)n);
        return s;
      }
      buffer = new byte[n + 1];
    }
  }

  static byte[] GetValue(string name, string selector) {
    byte[] value;
    JknStatus s = Get(name, selector, out value);
    CheckStatus(s, JknStatus.Ok, "get " + name + " " + selector);
    return value;
  }

  static byte[] ReadFile(string path) { return File.Exists(path) ? File.ReadAllBytes(path) : null; }

  static string RealPath(string path) {
    var resolved = new byte[4096];
    if (Native.realpath(path, resolved) == IntPtr.Zero) return null;
    return Encoding.UTF8.GetString(resolved, 0, Array.IndexOf(resolved, (byte)0));
  }

  // The library this process mapped, from /proc/self/maps.
  static bool Mapped(string realLibrary) {
    foreach (string line in File.ReadAllLines("/proc/self/maps")) {
      if (line.EndsWith(" " + realLibrary)) return true;
    }
    return false;
  }

  // By name with texts: ASCII strings, or bytes as stored.
  static JknStatus Set(string name, string selector, string value) {
    return Native.jkn_set(C(name), C(selector), C(value));
  }

  static JknStatus Set(string name, string selector, byte[] value) {
    return Native.jkn_set(C(name), C(selector), C(value));
  }

  static JknStatus Reset(string name, string selector) {
    return Native.jkn_reset(C(name), C(selector));
  }

  static int Main(string[] args) {
    if (args.Length != 1) {
      Console.Error.WriteLine("usage: CSharpConsumer.exe LIBRARY");
      return 2;
    }
    string basePath =
        Path.Combine(Path.GetTempPath(), "trassojkn-csharp-" + Guid.NewGuid().ToString("N"));
    string[] roots = { Path.Combine(basePath, "root0"), Path.Combine(basePath, "root1") };
    try {
      foreach (string root in roots) Directory.CreateDirectory(Path.Combine(root, "inf"));
      Native.setenv("KORVEL_APPDATA_0", roots[0], 1);
      Native.setenv("KORVEL_APPDATA_1", roots[1], 1);
      Run(args[0], basePath, roots);
    } finally {
      string gnss = Path.Combine(roots[0], "inf", "jkn-gnss.ini");
      if (File.Exists(gnss)) Native.chmod(gnss, Convert.ToUInt32("644", 8));
      Directory.Delete(basePath, true);
    }
    if (failures > 0) {
      Console.Error.WriteLine(failures + " checks failed");
      return 1;
    }
    Console.WriteLine("C# consumer: all checks passed");
    return 0;
  }

  static void Run(string library, string basePath, string[] roots) {
    const JknStatus ok = JknStatus.Ok;
    string inf = Path.Combine(roots[0], "inf");
    string gnss = Path.Combine(inf, "jkn-gnss.ini");
    byte[] head = Ascii("[GNSS]\r\n");

    // Statuses and names.
    var texts = new[] {
      Tuple.Create(JknStatus.Ok, "done"),
      Tuple.Create(JknStatus.FolderMissing, "folder missing"),
      Tuple.Create(JknStatus.ReadOnly, "file read-only"),
      Tuple.Create(JknStatus.Refused, "value refused"),
      Tuple.Create(JknStatus.OutOfRange, "value out of range"),
      Tuple.Create(JknStatus.BadValue, "bad value"),
      Tuple.Create(JknStatus.NotSettable, "setting is read-only"),
    };
    foreach (var t in texts) {
      string got = Text(Native.jkn_status_text(t.Item1));
      Check(got == t.Item2, "status text of " + t.Item1 + ": " + got);
    }
    ulong count = Native.jkn_setting_count().ToUInt64();
    var names = new List<string>();
    for (ulong i = 0; i < count; ++i) names.Add(Text(Native.jkn_setting_name((UIntPtr)i)));
    Check(count > 100, "setting count " + count);
    Check(!names.Contains(null), "every index below the count has a name");
    Check(Native.jkn_setting_name((UIntPtr)count) == IntPtr.Zero, "no name past the end");
    Check(names.Count > 0 && names[0] == "GNSS_Page", "GNSS_Page comes first");
    foreach (string known in new[] { "GNSS_MaskElev", "GNSS_UserID", "NMEA_BaudRate", "RecMax" })
      Check(names.Contains(known), "names hold " + known);

    // The library loaded is the one given.
    string real = RealPath(library);
    Check(real != null && Mapped(real), "the process maps " + library + " (" + real + ")");

    // Read, write, reset by name.
    CheckBytes(GetValue("GNSS_MaskElev", "svy"), Ascii("15"), "default of GNSS_MaskElev svy");
    CheckBytes(ReadFile(gnss), null, "a getter creates no file");
    CheckStatus(Set("GNSS_MaskElev", "svy", "20"), ok, "set MaskElev svy");
    CheckStatus(Set("GNSS_MaskElev", "plain", "-3"), ok, "set MaskElev plain");
    CheckBytes(GetValue("GNSS_MaskElev", "svy"), Ascii("20"), "GNSS_MaskElev svy after set");
    CheckBytes(GetValue("GNSS_MaskElev", null), Ascii("-3"), "GNSS_MaskElev without selector");
    CheckBytes(ReadFile(gnss), Concat(head, Ascii("MaskElev_Svy=20\r\nMaskElev=-3\r\n")),
               "file after set");
    CheckStatus(Reset("GNSS_MaskElev", "svy"), ok, "reset MaskElev svy");
    CheckBytes(GetValue("GNSS_MaskElev", "svy"), Ascii("15"), "GNSS_MaskElev svy after reset");
    CheckBytes(ReadFile(gnss), Concat(head, Ascii("MaskElev=-3\r\n")), "file after reset");
    CheckStatus(Reset("GNSS_MaskElev", "plain"), ok, "reset MaskElev plain");
    CheckBytes(ReadFile(gnss), head, "file after both resets");

    // Code page 932 bytes pass unchanged, both ways.
    byte[] katakana = { 0x83, 0x65, 0x83, 0x58, 0x83, 0x67 };
    CheckStatus(Set("GNSS_UserID", null, katakana), ok, "set UserID");
    CheckBytes(GetValue("GNSS_UserID", null), katakana, "UserID by name");
    CheckBytes(ReadFile(gnss), Concat(head, Ascii("UserID="), katakana, Ascii("\r\n")),
               "file with UserID");
    // The function of its own, snprintf-like: cut to capacity with its NUL.
    var cut = new byte[] { 0xee, 0xee, 0xee, 0xee, 0xee };
    ulong full = Native.jkn_GetQZJkn_GNSS_UserID(cut, (UIntPtr)4).ToUInt64();
    Check(full == 6, "UserID length " + full);
    CheckBytes(cut, new byte[] { 0x83, 0x65, 0x83, 0x00, 0xee }, "UserID cut to 4 bytes");
    var whole = new byte[7];
    Native.jkn_GetQZJkn_GNSS_UserID(whole, (UIntPtr)whole.Length);
    CheckBytes(whole, C(katakana), "UserID in a buffer of 7");
    byte[] other = { 0x95, 0x5c, 0x8e, 0xa6 };
    CheckStatus(Native.jkn_PutQZJkn_GNSS_UserID(C(other)), ok, "PutQZJkn_GNSS_UserID");
    CheckBytes(GetValue("GNSS_UserID", null), other, "UserID by name after its own setter");
    // Around and beyond the first buffer of 8 bytes: read again whole.
    foreach (string text in new[] { "1234567", "12345678", "123456789" }) {
      CheckStatus(Set("GNSS_Password", null, text), ok, "set Password " + text);
      CheckBytes(GetValue("GNSS_Password", null), Ascii(text), "Password of " + text.Length);
    }
    CheckStatus(Reset("GNSS_Password", null), ok, "reset Password");
    var address = new byte[259];
    for (int i = 0; i < address.Length; ++i) address[i] = (byte)('a' + i % 26);
    CheckStatus(Set("GNSS_Address", "", address), ok, "set Address");
    CheckBytes(GetValue("GNSS_Address", ""), address, "Address of 259 bytes");
    CheckBytes(ReadFile(gnss),
               Concat(head, Ascii("UserID="), other, Ascii("\r\nAddress="), address, Ascii("\r\n")),
               "file with UserID and Address");
    File.Delete(gnss);

    // Functions of their own, seen by name too.
    Check(Native.jkn_GetQZJkn_GNSS_Page() == 0, "default page");
    CheckStatus(Native.jkn_PutQZJkn_GNSS_Page(-7), ok, "PutQZJkn_GNSS_Page");
    Check(Native.jkn_GetQZJkn_GNSS_Page() == -7, "page after put");
    CheckBytes(GetValue("GNSS_Page", null), Ascii("-7"), "GNSS_Page by name");
    CheckStatus(Set("GNSS_Page", null, "12"), ok, "set GNSS_Page");
    Check(Native.jkn_GetQZJkn_GNSS_Page() == 12, "page after set by name");
    CheckStatus(Native.jkn_PutQZJkn_GNSS_MaskSate(1, 65535), ok, "PutQZJkn_GNSS_MaskSate");
    Check(Native.jkn_GetQZJkn_GNSS_MaskSate(1) == 65535, "MaskSate svy");
    Check(Native.jkn_GetQZJkn_GNSS_MaskSate(0) == 11, "MaskSate plain default");
    CheckBytes(GetValue("GNSS_MaskSate", "svy"), Ascii("65535"), "GNSS_MaskSate svy by name");
    CheckBytes(ReadFile(gnss), Concat(head, Ascii("Page=12\r\nMaskSate_Svy=65535\r\n")),
               "file of the page");

    // A struct.
    Check(Marshal.SizeOf(typeof(JknRtkConnectProp)) == 24, "JknRtkConnectProp size");
    var prop = new JknRtkConnectProp {
      Radio = 1, Hosei = 3, FlowCTS = 0, PortNo = 4, BaudRate = 115200, Parity = 2
    };
    CheckStatus(Native.jkn_PutQZJkn_GNSS_RTKConnectProp(1, ref prop), ok,
                "PutQZJkn_GNSS_RTKConnectProp");
    CheckBytes(ReadFile(Path.Combine(inf, "jkn-gnss-rtk.ini")),
               Concat(head, Ascii("RTKRadio=1\r\nRTKHosei=3\r\nRTKFlowCTS=0\r\nRTKPortNoS=4\r\n" +
                                  "RTKBaudRateS=115200\r\nRTKParityS=2\r\n")),
               "RTK file");
    JknRtkConnectProp back;
    Native.jkn_GetQZJkn_GNSS_RTKConnectProp(1, out back);
    Check(back.Radio == 1 && back.Hosei == 3 && back.FlowCTS == 0 && back.PortNo == 4 &&
          back.BaudRate == 115200 && back.Parity == 2, "RTK side S read back");
    Native.jkn_GetQZJkn_GNSS_RTKConnectProp(0, out back);
    Check(back.PortNo == 1 && back.BaudRate == 9600 && back.Parity == 0, "RTK side R defaults");

    // One-byte bools, false and true.
    string isg = Path.Combine(basePath, "model.isg");
    File.WriteAllBytes(isg, Ascii("begin_of_head\nISG format = 2.0\nend_of_head\n"));
    Check(Native.jkn_QZJknTool_IsGeoidFileISG(Encoding.UTF8.GetBytes(isg + "\0")), "ISG file");
    Check(!Native.jkn_QZJknTool_IsGeoidFileISG(Encoding.UTF8.GetBytes(gnss + "\0")),
          "settings file is no ISG file");
    Check(!Native.jkn_QZJknTool_IsGeoidFileISG(C("/nowhere/model.isg")),
          "missing file is no ISG file");

    // Refusals change nothing.
    byte[] before = ReadFile(gnss);
    UIntPtr unused;
    var refusals = new[] {
      Tuple.Create(Native.jkn_get(C("GNSS_Nothing"), null, new byte[8], (UIntPtr)8, out unused),
                   JknStatus.UnknownSetting, "get of an unknown name"),
      Tuple.Create(Set("GNSS_Nothing", null, "1"), JknStatus.UnknownSetting, "unknown name"),
      Tuple.Create(Set("GNSS_MaskElev", "both", "1"), JknStatus.BadSelector, "bad selector"),
      Tuple.Create(Reset("GNSS_Page", "svy"), JknStatus.BadSelector, "selector where none is"),
      Tuple.Create(Set("GNSS_MaskElev", "svy", "abc"), JknStatus.BadValue, "abc for an integer"),
      Tuple.Create(Set("GNSS_Password", null, " x"), JknStatus.BadValue, "would read back otherwise"),
      Tuple.Create(Set("GNSS_UserID", null, "a\r\nb"), JknStatus.Refused, "line break"),
      Tuple.Create(Set("ZETR_Ang_DispMode", null, "4"), JknStatus.OutOfRange, "outside the range"),
      Tuple.Create(Set("RecMax", null, "1"), JknStatus.NotSettable, "read-only setting"),
    };
    foreach (var r in refusals) CheckStatus(r.Item1, r.Item2, r.Item3);
    CheckBytes(ReadFile(gnss), before, "file after refusals");
    Check(!File.Exists(Path.Combine(inf, "jkn-zetr.ini")), "no profile file after a refusal");

    // A file whose permission bits forbid writing.
    Native.chmod(gnss, Convert.ToUInt32("444", 8));
    CheckStatus(Set("GNSS_Page", null, "1"), JknStatus.ReadOnly, "set in a read-only file");
    CheckStatus(Native.jkn_PutQZJkn_GNSS_Page(1), JknStatus.ReadOnly, "put in a read-only file");
    CheckStatus(Reset("GNSS_Page", null), JknStatus.ReadOnly, "reset in a read-only file");
    CheckBytes(ReadFile(gnss), before, "read-only file unchanged");
    CheckBytes(GetValue("GNSS_Page", null), Ascii("12"), "page in the read-only file");

    // A root that does not exist is not created.
    string missing = Path.Combine(basePath, "nowhere");
    Native.setenv("KORVEL_APPDATA_0", missing, 1);
    CheckStatus(Set("GNSS_Page", null, "1"), JknStatus.FolderMissing, "set below a missing root");
    CheckStatus(Native.jkn_PutQZJkn_GNSS_Page(1), JknStatus.FolderMissing,
                "put below a missing root");
    CheckBytes(GetValue("GNSS_Page", null), Ascii("0"), "page below a missing root");
    Check(!Directory.Exists(missing), "missing root not created");
    Native.setenv("KORVEL_APPDATA_0", roots[0], 1);
  }
}
