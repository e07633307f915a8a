// A C# program over the shipped binding (csharp/TrassoJkn.cs), compiled with it
// by mcs and run by mono as a user's program is: a Japanese text goes to the
// file as its code page 932 bytes and comes back, refusals are JknExceptions
// with the library's status and message and change nothing, a setting is
// described, the antenna catalogue comes through an AntennaList handle, and a
// watch gives the changes of a Set.
// Exits with 1 when a check fails.
//
//   mono CSharpConsumer.exe LIBRARY VERSION SAMPLE_DATA
//
// LIBRARY is the library file the program must have loaded (DllImport finds
// "TrassoJkn" through the loader's search path, e.g. LD_LIBRARY_PATH), VERSION
// the project's version, SAMPLE_DATA the folder of the sample catalogues.
using System;
using System.IO;
using System.Runtime.InteropServices;
using System.Text;
using System.Threading;
using Trasso;

static class Consumer {
  static int failures = 0;

  [DllImport("libc")] static extern int setenv(string name, string value, int overwrite);
  [DllImport("libc")] static extern int chmod(string path, uint mode);

  static void Check(bool ok, string what) {
    if (ok) return;
    ++failures;
    Console.Error.WriteLine("FAILED: " + what);
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

  // ASCII texts and bytes, one after the other: what a file must hold, spelt
  // without the binding's own encoder.
  static byte[] Bytes(params object[] parts) {
    var all = new MemoryStream();
    foreach (object p in parts) {
      byte[] b = p as byte[] ?? Encoding.ASCII.GetBytes((string)p);
      all.Write(b, 0, b.Length);
    }
    return all.ToArray();
  }

  static readonly byte[] Tesuto = { 0x83, 0x65, 0x83, 0x58, 0x83, 0x67 };  // テスト
  static readonly byte[] Tokyo = { 0x93, 0x8c, 0x8b, 0x9e };                 // 東京

  static void CheckBytes(byte[] got, byte[] want, string what) {
    bool same = got == null ? want == null : want != null && Show(got) == Show(want);
    Check(same, what + ": " + Show(got) + ", expected " + Show(want));
  }

  static void CheckFile(string path, byte[] want, string what) {
    CheckBytes(File.Exists(path) ? File.ReadAllBytes(path) : null, want, what);
  }

  // The call throws a JknException of status whose message holds part.
  static void Refused(Action call, JknStatus status, string part, string what) {
    try {
      call();
      Check(false, what + ": no exception");
    } catch (JknException e) {
      Check(e.Status == status && e.Message.Contains(part),
            what + ": " + e.Status + " \"" + e.Message + "\", expected " + status + " with \"" +
                part + "\"");
    }
  }

  // The library this process mapped, from /proc/self/maps.
  static bool Mapped(string library) {
    string real = Path.GetFullPath(library);
    foreach (string line in File.ReadAllLines("/proc/self/maps")) {
      if (line.EndsWith(" " + real)) return true;
    }
    return false;
  }

  static int Main(string[] args) {
    if (args.Length != 3) {
      Console.Error.WriteLine("usage: CSharpConsumer.exe LIBRARY VERSION SAMPLE_DATA");
      return 2;
    }
    string basePath =
        Path.Combine(Path.GetTempPath(), "trassojkn-csharp-" + Guid.NewGuid().ToString("N"));
    string[] roots = { Path.Combine(basePath, "root0"), Path.Combine(basePath, "root1") };
    try {
      foreach (string root in roots) Directory.CreateDirectory(Path.Combine(root, "inf"));
      // The library reads its roots with getenv: they are set in the C runtime.
      setenv("KORVEL_APPDATA_0", roots[0], 1);
      setenv("KORVEL_APPDATA_1", roots[1], 1);
      Run(args, roots);
    } finally {
      foreach (string file in Directory.GetFiles(basePath, "*", SearchOption.AllDirectories))
        chmod(file, Convert.ToUInt32("644", 8));
      Directory.Delete(basePath, true);
    }
    if (failures > 0) {
      Console.Error.WriteLine(failures + " checks failed");
      return 1;
    }
    Console.WriteLine("C# binding: all checks passed");
    return 0;
  }

  static void Run(string[] args, string[] roots) {
    string gnss = Path.Combine(roots[0], "inf", "jkn-gnss.ini");
    Check(Jkn.Version == args[1], "Version " + Jkn.Version + ", expected " + args[1]);
    Check(Mapped(args[0]), "the process maps " + args[0]);
    string[] names = Jkn.Names();
    Check(names.Length > 100 && names[0] == "GNSS_Page", "Names: " + names.Length);

    // Code page 932 both ways, byte for byte in the file.
    Check(Jkn.Get("GNSS_MaskElev", "svy") == "15", "default of GNSS_MaskElev svy");
    CheckFile(gnss, null, "a getter creates no file");
    Jkn.Set("GNSS_UserID", "テスト");
    CheckFile(gnss, Bytes("[GNSS]\r\nUserID=", Tesuto, "\r\n"), "after Set of テスト");
    Check(Jkn.Get("GNSS_UserID") == "テスト", "Get of the Japanese text");
    CheckBytes(Jkn.GetBytes("GNSS_UserID"), Tesuto, "GetBytes");
    Jkn.Set("GNSS_MaskElev", "20", "svy");
    Check(Jkn.Get("GNSS_MaskElev", "svy") == "20", "GNSS_MaskElev svy after Set");
    Jkn.Reset("GNSS_MaskElev", "svy");
    Jkn.SetBytes("GNSS_Address", Tokyo);
    Check(Jkn.Get("GNSS_Address") == "東京", "SetBytes, then Get");
    byte[] stored = Bytes("[GNSS]\r\nUserID=", Tesuto, "\r\nAddress=", Tokyo, "\r\n");
    CheckFile(gnss, stored, "after Reset and SetBytes");

    // Refusals: a status, the library's message, nothing written.
    try {
      Jkn.Set("GNSS_UserID", "€");
      Check(false, "a character code page 932 lacks is refused");
    } catch (EncoderFallbackException) {
    }
    Refused(() => Jkn.Set("GNSS_Password", " secret"), JknStatus.BadValue,
            "(blanks at the start of a value are not read)", "a value that reads back otherwise");
    Refused(() => Jkn.Set("GNSS_MaskSate", "70000"), JknStatus.BadValue,
            "GNSS_MaskSate takes an integer from 0 to 65535; got '70000'", "a number too large");
    Refused(() => Jkn.Get("GNSS_Pag"), JknStatus.UnknownSetting, "unknown setting 'GNSS_Pag'",
            "an unknown setting");
    Refused(() => Jkn.Reset("GNSS_MaskElev", "both"), JknStatus.BadSelector,
            "'both' is no selector", "a bad selector");
    Refused(() => Jkn.Set("RecMax", "1"), JknStatus.NotSettable, "read-only", "a read-only setting");
    chmod(gnss, Convert.ToUInt32("444", 8));
    Refused(() => Jkn.Set("GNSS_Page", "2"), JknStatus.ReadOnly,
            "the file is read-only; make it writable (chmod u+w '" + gnss + "')", "a read-only file");
    CheckFile(gnss, stored, "after the refusals");

    string described = Jkn.Describe("GNSS_MaskElev");
    Check(described.StartsWith("{\n  \"name\": \"GNSS_MaskElev\",") &&
              described.Contains("\n  \"default\": 15,\n"),
          "Describe: " + described);

    // The antenna catalogue, through a handle the library owns.
    foreach (string name in new[] { "Antenna.ini", "AntennaSensor.ini" })
      File.Copy(Path.Combine(args[2], name), Path.Combine(roots[1], "inf", name));
    Check(Jkn.AntennaInit() > 0, "AntennaInit merges the sample catalogue");
    using (AntennaList list = AntennaList.Create()) {
      Check(Jkn.SensorPicture(1, list) == "rx-g1.bmp", "SensorPicture of sensor 1");
      Check(list.Count == 1, "the entries walked: " + list.Count);
      Antenna first = list[0];
      Check(first.Id == 12 && first.Sensor == 1 && first.SensorBmp == "rx-g1.bmp" &&
                first.CharCode == "KVA12" && first.Name == "KV-A12 測量用アンテナ",
            "entry 0: " + first.Id + " " + first.Name + " " + first.SensorBmp);
    }
    Check(Jkn.SensorPicture(9) == "NMEA.bmp", "SensorPicture of a sensor without an entry");

    // A watch: Next gives the change a Set made, null when none waits; the
    // event fires once for one write, on the watch's thread.
    string nmea = Path.Combine(roots[0], "inf", "jkn-nmea.ini");
    Watch watch = Jkn.Watch("NMEA_BaudRate", "GNSS_MaskElev");
    using (watch)
    using (var raised = new SemaphoreSlim(0)) {
      Check(watch.Next(0) == null, "Next(0) without a change");
      chmod(gnss, Convert.ToUInt32("644", 8));
      Jkn.Set("GNSS_MaskElev", "25", "svy");
      Change c = watch.Next(5000);
      Check(c != null && c.ToString() == "GNSS_MaskElev svy: 15 -> 25 (" + gnss + ")",
            "Next after Set: " + c);
      Change seen = null;
      watch.Changed += (sender, e) => { seen = e; raised.Release(); };
      Jkn.Set("NMEA_BaudRate", "9600");
      Check(raised.Wait(5000) && !raised.Wait(300) &&
                seen.ToString() == "NMEA_BaudRate: 19200 -> 9600 (" + nmea + ")",
            "one event for one write: " + raised.CurrentCount + " more, " + seen);
    }
    try {
      watch.Next(0);
      Check(false, "Next after Dispose");
    } catch (ObjectDisposedException) {
    }
  }
}
