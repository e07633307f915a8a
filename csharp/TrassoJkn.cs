// TrassoJkn.cs: the settings store of the field surveying application from C#
// (Mono or .NET), over the library's C interface. Compile it into your program:
//
//   mcs -out:App.exe App.cs <prefix>/share/trassojkn/TrassoJkn.cs
//   LD_LIBRARY_PATH=<prefix>/lib mono App.exe        (Windows: TrassoJkn.dll beside App.exe)
//
//   Console.WriteLine(Trasso.Jkn.Get("GNSS_MaskElev", "svy"));  // "15"
//   Trasso.Jkn.Set("GNSS_UserID", "テスト");                     // stored in code page 932
//
// Values are the texts of `jkn get --raw` and `jkn set --raw` (decimal numbers,
// colours as "R,G,B"), texts converted from and to code page 932, in which the
// settings files hold them; GetBytes and SetBytes give and take the stored bytes.
// Code page 932 comes with .NET Framework; on .NET (Core) this file registers
// CodePagesEncodingProvider (package System.Text.Encoding.CodePages); on
// Debian's Mono it needs the package libmono-i18n-cjk4.0-cil.
//
// A call the library does not carry out throws JknException: its Status is the
// library's status and its Message the library's own message (what was asked,
// why not, what to do). Nothing is written then; a value that the application
// would read back otherwise (blanks at either end, enclosing quotes, too long)
// is refused with JknStatus.BadValue.
using System;
using System.Collections.Generic;
using System.Reflection;
using System.Runtime.InteropServices;
using System.Text;
using System.Threading;

namespace Trasso {

// The C interface's statuses (JKN_OK, JKN_FOLDER_MISSING, ...); the numbers are fixed.
public enum JknStatus {
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
  NotSettable = 15,
  Misuse = 16,
  ReadsBackAltered = 17,
  TempBlocked = 18,
  Timeout = 19
}

// A call the library did not carry out; Message is its message (jkn_last_error).
public class JknException : Exception {
  public JknStatus Status { get; private set; }
  public string Setting { get; private set; }
  public string Selector { get; private set; }

  public JknException(JknStatus status, string message, string setting, string selector)
      : base(message) {
    Status = status;
    Setting = setting;
    Selector = selector;
  }
}

// One entry of the antenna catalogue.
public sealed class Antenna {
  public int Id { get; internal set; }
  public int Sensor { get; internal set; }
  public string Name { get; internal set; }
  public string CharCode { get; internal set; }
  public string Bmp { get; internal set; }
  public string SensorBmp { get; internal set; }
  public double Offset { get; internal set; }
}

// A list of antenna catalogue entries held by the library (JknAntennaList);
// dispose of it, or let the finalizer do so.
public sealed class AntennaList : SafeHandle {
  // For the marshaller, which fills in the handle the library returns.
  private AntennaList() : base(IntPtr.Zero, true) {}

  public static AntennaList Create() {
    AntennaList list = Native.jkn_antenna_list_create();
    if (list.IsInvalid) throw new OutOfMemoryException("jkn_antenna_list_create");
    return list;
  }

  public override bool IsInvalid { get { return handle == IntPtr.Zero; } }

  protected override bool ReleaseHandle() {
    Native.jkn_antenna_list_destroy(handle);
    return true;
  }

  public int Count { get { return (int)Native.jkn_antenna_list_size(this).ToUInt64(); } }

  public Antenna this[int index] {
    get {
      if (index < 0 || index >= Count) throw new ArgumentOutOfRangeException("index");
      var texts = new Text[4];
      try {
        for (int size = 256;; size *= 4) {
          for (int i = 0; i < texts.Length; ++i) {
            if (texts[i] != null) texts[i].Dispose();
            texts[i] = new Text(size);
          }
          var rec = new Native.AntennaRec {
            Name = texts[0].C, CharCode = texts[1].C, Bmp = texts[2].C, SensorBmp = texts[3].C
          };
          Native.jkn_antenna_list_at(this, (UIntPtr)index, ref rec);
          Native.CText[] filled = { rec.Name, rec.CharCode, rec.Bmp, rec.SensorBmp };
          bool fits = true;
          for (int i = 0; i < texts.Length; ++i) fits &= texts[i].Take(filled[i]);
          if (!fits) continue;
          return new Antenna {
            Id = rec.ID, Sensor = rec.Sensor, Name = texts[0].Value, CharCode = texts[1].Value,
            Bmp = texts[2].Value, SensorBmp = texts[3].Value, Offset = rec.Offset
          };
        }
      } finally {
        foreach (Text t in texts) if (t != null) t.Dispose();
      }
    }
  }
}

// A JknText: a buffer of the caller's in unmanaged memory.
internal sealed class Text : IDisposable {
  public Native.CText C;
  public string Value;

  public Text(int capacity) {
    C.Buffer = Marshal.AllocHGlobal(capacity);
    C.Capacity = (UIntPtr)capacity;
    Marshal.WriteByte(C.Buffer, 0);
  }

  // Whether the text the library left fits; then Value holds it.
  public bool Take(Native.CText filled) {
    ulong length = filled.Length.ToUInt64();
    if (length >= C.Capacity.ToUInt64()) return false;
    var bytes = new byte[length];
    Marshal.Copy(C.Buffer, bytes, 0, (int)length);
    Value = Jkn.CodePage932.GetString(bytes);
    return true;
  }

  public void Dispose() {
    if (C.Buffer != IntPtr.Zero) Marshal.FreeHGlobal(C.Buffer);
    C.Buffer = IntPtr.Zero;
  }
}

internal static class Native {
  const string Lib = "TrassoJkn";

  [StructLayout(LayoutKind.Sequential)]
  internal struct CText {
    public IntPtr Buffer;
    public UIntPtr Capacity;
    public UIntPtr Length;
  }

  [StructLayout(LayoutKind.Sequential)]
  internal struct AntennaRec {
    public int ID;
    public int Sensor;
    public CText Name;
    public CText CharCode;
    public CText Bmp;
    public CText SensorBmp;
    public double Offset;
  }

  // Static texts come back as IntPtr: a string result would be freed.
  [DllImport(Lib)] internal static extern IntPtr jkn_version();
  [DllImport(Lib)] internal static extern UIntPtr jkn_last_error(byte[] buffer, UIntPtr capacity);
  [DllImport(Lib)] internal static extern UIntPtr jkn_setting_count();
  [DllImport(Lib)] internal static extern IntPtr jkn_setting_name(UIntPtr index);
  // Texts are NUL-terminated byte arrays; null passes NULL.
  [DllImport(Lib)]
  internal static extern JknStatus jkn_get(byte[] name, byte[] selector, byte[] buffer,
                                           UIntPtr capacity, out UIntPtr length);
  [DllImport(Lib)]
  internal static extern JknStatus jkn_set(byte[] name, byte[] selector, byte[] value);
  [DllImport(Lib)] internal static extern JknStatus jkn_reset(byte[] name, byte[] selector);
  [DllImport(Lib)]
  internal static extern JknStatus jkn_describe(byte[] name, byte[] buffer, UIntPtr capacity,
                                                out UIntPtr length);

  [DllImport(Lib)]
  internal static extern JknStatus jkn_watch_open(
      [MarshalAs(UnmanagedType.LPArray, ArraySubType = UnmanagedType.LPStr)] string[] names,
      UIntPtr count, out WatchHandle watch);
  [DllImport(Lib)] internal static extern JknStatus jkn_watch_add_file(WatchHandle watch, byte[] path);
  [DllImport(Lib)]
  internal static extern JknStatus jkn_watch_next(WatchHandle watch, int timeoutMs, byte[] buffer,
                                                  UIntPtr capacity, out UIntPtr length);
  [DllImport(Lib)] internal static extern IntPtr jkn_watch_descriptor(WatchHandle watch);
  [DllImport(Lib)] internal static extern void jkn_watch_close(IntPtr watch);

  [DllImport(Lib)] internal static extern int jkn_AntennaInit(out JknStatus status);
  [DllImport(Lib)]
  internal static extern int jkn_GetGNSSSensorBmp(int sensor, ref CText picture, IntPtr antenna,
                                                  IntPtr offset, AntennaList list);
  // The same without a list (a SafeHandle may not be null).
  [DllImport(Lib, EntryPoint = "jkn_GetGNSSSensorBmp")]
  internal static extern int jkn_GetGNSSSensorBmpNoList(int sensor, ref CText picture,
                                                        IntPtr antenna, IntPtr offset,
                                                        IntPtr list);
  [DllImport(Lib)] internal static extern AntennaList jkn_antenna_list_create();
  [DllImport(Lib)] internal static extern void jkn_antenna_list_destroy(IntPtr list);
  [DllImport(Lib)] internal static extern UIntPtr jkn_antenna_list_size(AntennaList list);
  // C's bool is one byte; the default marshalling would read four.
  [DllImport(Lib)]
  [return: MarshalAs(UnmanagedType.I1)]
  internal static extern bool jkn_antenna_list_at(AntennaList list, UIntPtr index,
                                                  ref AntennaRec rec);
}

public static class Jkn {
  static readonly Encoding codePage932 = LoadCodePage932();

  // Code page 932, refusing what it cannot convert either way (no silent '?').
  public static Encoding CodePage932 { get { return codePage932; } }

  // The library's version, "MAJOR.MINOR.PATCH".
  public static string Version { get { return Marshal.PtrToStringAnsi(Native.jkn_version()); } }

  static Encoding LoadCodePage932() {
    // .NET (Core) knows code page 932 only through this provider; .NET
    // Framework and Mono have no such type and need none.
    Type provider = Type.GetType(
        "System.Text.CodePagesEncodingProvider, System.Text.Encoding.CodePages", false);
    if (provider != null) {
      PropertyInfo instance = provider.GetProperty("Instance", BindingFlags.Public | BindingFlags.Static);
      Encoding.RegisterProvider((EncodingProvider)instance.GetValue(null, null));
    }
    try {
      return Encoding.GetEncoding(932, EncoderFallback.ExceptionFallback,
                                  DecoderFallback.ExceptionFallback);
    } catch (Exception e) when (e is ArgumentException || e is NotSupportedException) {
      throw new NotSupportedException(
          "code page 932 is not available: on Debian's Mono install libmono-i18n-cjk4.0-cil; " +
          "on .NET add the package System.Text.Encoding.CodePages", e);
    }
  }

  // A NUL-terminated argument; null stays NULL.
  static byte[] C(byte[] bytes) {
    if (bytes == null) return null;
    if (Array.IndexOf(bytes, (byte)0) >= 0) throw new ArgumentException("a text holds a NUL byte");
    var c = new byte[bytes.Length + 1];
    Array.Copy(bytes, c, bytes.Length);
    return c;
  }

  internal static byte[] Name(string name) {
    if (name == null) throw new ArgumentNullException("name");
    return C(Encoding.ASCII.GetBytes(name));
  }

  // A selector may be a profile's path: in the system's encoding for names
  // of files (code page 932 on Windows, UTF-8 elsewhere).
  internal static byte[] Selector(string selector) {
    if (selector == null) return null;
    bool windows = Environment.OSVersion.Platform == PlatformID.Win32NT;
    return C((windows ? codePage932 : Encoding.UTF8).GetBytes(selector));
  }

  internal static void Check(JknStatus status, string name, string selector) {
    if (status == JknStatus.Ok) return;
    var buffer = new byte[1024];
    for (;;) {
      ulong length = Native.jkn_last_error(buffer, (UIntPtr)buffer.Length).ToUInt64();
      if (length < (ulong)buffer.Length) {
        throw new JknException(status, Encoding.UTF8.GetString(buffer, 0, (int)length), name,
                               selector);
      }
      buffer = new byte[length + 1];
    }
  }

  // The setting's value as the library gives it, its stored bytes for a text.
  public static byte[] GetBytes(string name, string selector = null) {
    byte[] cName = Name(name), cSelector = Selector(selector);
    var buffer = new byte[256];
    for (;;) {
      UIntPtr length;
      Check(Native.jkn_get(cName, cSelector, buffer, (UIntPtr)buffer.Length, out length), name,
            selector);
      ulong n = length.ToUInt64();
      if (n < (ulong)buffer.Length) {
        var value = new byte[n];
        Array.Copy(buffer, value, (int)n);
        return value;
      }
      buffer = new byte[n + 1];
    }
  }

  // The setting's value as text (a text converted from code page 932).
  public static string Get(string name, string selector = null) {
    return codePage932.GetString(GetBytes(name, selector));
  }

  // Stores bytes as they are.
  public static void SetBytes(string name, byte[] value, string selector = null) {
    if (value == null) throw new ArgumentNullException("value", "Reset removes a value");
    Check(Native.jkn_set(Name(name), Selector(selector), C(value)), name, selector);
  }

  // Stores value, a text in code page 932 (a character it lacks throws
  // EncoderFallbackException and nothing is written).
  public static void Set(string name, string value, string selector = null) {
    if (value == null) throw new ArgumentNullException("value", "Reset removes a value");
    SetBytes(name, codePage932.GetBytes(value), selector);
  }

  // Removes the stored key, so that Get gives the default again.
  public static void Reset(string name, string selector = null) {
    Check(Native.jkn_reset(Name(name), Selector(selector)), name, selector);
  }

  public static string[] Names() {
    ulong count = Native.jkn_setting_count().ToUInt64();
    var names = new List<string>();
    for (ulong i = 0; i < count; ++i) {
      names.Add(Marshal.PtrToStringAnsi(Native.jkn_setting_name((UIntPtr)i)));
    }
    return names.ToArray();
  }

  // The setting described as a JSON object (jkn_describe).
  public static string Describe(string name) {
    byte[] cName = Name(name);
    UIntPtr length;
    Check(Native.jkn_describe(cName, null, UIntPtr.Zero, out length), name, null);
    var buffer = new byte[length.ToUInt64() + 1];
    Check(Native.jkn_describe(cName, buffer, (UIntPtr)buffer.Length, out length), name, null);
    return Encoding.UTF8.GetString(buffer, 0, (int)length.ToUInt64());
  }

  // A watch of the settings named (none: every setting) from their values now;
  // dispose of it. Throws JknException for an unknown name.
  public static Trasso.Watch Watch(params string[] names) {
    names = names ?? new string[0];
    foreach (string name in names) Name(name);
    WatchHandle handle;
    Check(Native.jkn_watch_open(names, (UIntPtr)names.Length, out handle), null, null);
    return new Trasso.Watch(handle);
  }

  // Merges the delivered antenna catalogue into the local one; the number of entries.
  public static int AntennaInit() {
    JknStatus status;
    int count = Native.jkn_AntennaInit(out status);
    Check(status, "AntennaInit", null);
    return count;
  }

  // The picture of a sensor's first catalogue entry ("NMEA.bmp" when there is
  // none); the entries walked are appended to entries when given.
  public static string SensorPicture(int sensor, AntennaList entries = null) {
    for (int size = 256;; size *= 4) {
      using (var picture = new Text(size)) {
        // The entries are appended once: a picture that did not fit is read
        // again without them.
        if (entries != null && size == 256) {
          Native.jkn_GetGNSSSensorBmp(sensor, ref picture.C, IntPtr.Zero, IntPtr.Zero, entries);
        } else {
          Native.jkn_GetGNSSSensorBmpNoList(sensor, ref picture.C, IntPtr.Zero, IntPtr.Zero,
                                            IntPtr.Zero);
        }
        if (picture.Take(picture.C)) return picture.Value;
      }
    }
  }
}

// The library's watch (JknWatch); Watch closes it.
internal sealed class WatchHandle : SafeHandle {
  private WatchHandle() : base(IntPtr.Zero, true) {}

  public override bool IsInvalid { get { return handle == IntPtr.Zero; } }

  protected override bool ReleaseHandle() {
    Native.jkn_watch_close(handle);
    return true;
  }
}

// One change of a watched setting. Old and New are texts as Get gives them
// (decimal numbers, colours "R,G,B"); Selector is null for a setting without
// one; File is the path of the file that holds it.
public sealed class Change : EventArgs {
  public string Name { get; internal set; }
  public string Selector { get; internal set; }
  public string Old { get; internal set; }
  public string New { get; internal set; }
  public string File { get; internal set; }

  public override string ToString() {
    return Name + (Selector != null ? " " + Selector : "") + ": " + Old + " -> " + New + " (" +
           File + ")";
  }
}

// A watch of settings (Jkn.Watch): each change any writer makes to a value
// as Get reads it. Take changes with Next, or add a handler to Changed, which
// a background thread raises until Dispose. Calls are serialised.
public sealed class Watch : IDisposable {
  // The longest single wait, so that Dispose ends a waiting Next soon.
  const int LongestWaitMs = 250;

  readonly WatchHandle handle;
  readonly object gate = new object();    // the library's calls
  readonly object events = new object();  // Changed and its thread
  byte[] buffer = new byte[512];
  volatile bool disposed;
  EventHandler<Change> changed;
  Thread thread;

  internal Watch(WatchHandle handle) { this.handle = handle; }

  // Watches also the profile at path: the watched settings that take a
  // profile's path, with that path as selector.
  public void AddFile(string path) {
    if (path == null) throw new ArgumentNullException("path");
    lock (gate) {
      Open();
      Jkn.Check(Native.jkn_watch_add_file(handle, Jkn.Selector(path)), null, path);
    }
  }

  // The next change, waiting up to timeoutMs for one (0: no wait; negative:
  // no limit); null when none came in time.
  public Change Next(int timeoutMs) {
    var clock = System.Diagnostics.Stopwatch.StartNew();
    for (;;) {
      long left = timeoutMs < 0 ? LongestWaitMs : timeoutMs - clock.ElapsedMilliseconds;
      string text = NextText((int)Math.Max(0, Math.Min(left, LongestWaitMs)));
      if (text != null) return Parse(text);
      if (timeoutMs >= 0 && clock.ElapsedMilliseconds >= timeoutMs) return null;
    }
  }

  // Raised on a background thread for each change, from the first handler
  // added until Dispose.
  public event EventHandler<Change> Changed {
    add {
      lock (events) {
        Open();
        changed += value;
        if (thread != null) return;
        thread = new Thread(Raise) { IsBackground = true, Name = "TrassoJkn watch" };
        thread.Start();
      }
    }
    remove {
      lock (events) changed -= value;
    }
  }

  // What an event loop waits on: a descriptor readable (a HANDLE signalled on
  // Windows) when a change may be waiting; then call Next(0) until null.
  public IntPtr Descriptor {
    get {
      lock (gate) {
        Open();
        return Native.jkn_watch_descriptor(handle);
      }
    }
  }

  // Stops the watch (and the thread of Changed); the changes not taken are dropped.
  public void Dispose() {
    disposed = true;
    Thread t;
    lock (events) t = thread;
    if (t != null && t != Thread.CurrentThread) t.Join();
    lock (gate) handle.Dispose();
  }

  void Open() {
    if (disposed) throw new ObjectDisposedException("Trasso.Watch");
  }

  void Raise() {
    while (!disposed) {
      Change c;
      try {
        c = Next(LongestWaitMs);
      } catch (ObjectDisposedException) {
        return;
      }
      EventHandler<Change> handlers;
      lock (events) handlers = changed;
      if (c != null && handlers != null) handlers(this, c);
    }
  }

  string NextText(int waitMs) {
    lock (gate) {
      Open();
      for (;;) {
        UIntPtr length;
        JknStatus status =
            Native.jkn_watch_next(handle, waitMs, buffer, (UIntPtr)buffer.Length, out length);
        if (status == JknStatus.Timeout) return null;
        Jkn.Check(status, null, null);
        ulong n = length.ToUInt64();
        if (n < (ulong)buffer.Length) return Encoding.UTF8.GetString(buffer, 0, (int)n);
        // Too long: it stays queued; take it with room for it.
        buffer = new byte[n + 1];
        waitMs = 0;
      }
    }
  }

  // The library's JSON object of a change: texts, numbers, null, {"hex": ...}.
  static Change Parse(string json) {
    var fields = new Dictionary<string, object>();
    int at = 0;
    Expect(json, ref at, '{');
    do {
      string key = (string)Value(json, ref at);
      Expect(json, ref at, ':');
      fields[key] = Value(json, ref at);
    } while (Take(json, ref at) == ',');
    bool windows = Environment.OSVersion.Platform == PlatformID.Win32NT;
    Encoding paths = windows ? Jkn.CodePage932 : Encoding.UTF8;
    return new Change {
      Name = Text(fields["name"], Jkn.CodePage932, null),
      Selector = Text(fields["selector"], Jkn.CodePage932, null),
      Old = Text(fields["old"], Jkn.CodePage932, ""),
      New = Text(fields["new"], Jkn.CodePage932, ""),
      File = Text(fields["file"], paths, null)
    };
  }

  // A string, a number's text, null, or the bytes of {"hex": ...}.
  static object Value(string json, ref int at) {
    char c = Take(json, ref at);
    if (c == '{') {
      Value(json, ref at);  // "hex"
      Expect(json, ref at, ':');
      string hex = (string)Value(json, ref at);
      Expect(json, ref at, '}');
      var bytes = new byte[hex.Length / 2];
      for (int i = 0; i < bytes.Length; ++i) bytes[i] = Convert.ToByte(hex.Substring(2 * i, 2), 16);
      return bytes;
    }
    if (c != '"') {
      int start = at - 1;
      while (at < json.Length && ",}] \n".IndexOf(json[at]) < 0) ++at;
      string token = json.Substring(start, at - start);
      return token == "null" ? null : token;
    }
    var s = new StringBuilder();
    for (char d; (d = json[at++]) != '"';) {
      if (d != '\\') {
        s.Append(d);
        continue;
      }
      char e = json[at++];
      if (e == 'u') {
        s.Append((char)Convert.ToInt32(json.Substring(at, 4), 16));
        at += 4;
      } else {
        int escape = "nrtbf".IndexOf(e);
        s.Append(escape >= 0 ? "\n\r\t\b\f"[escape] : e);
      }
    }
    return s.ToString();
  }

  // The next character that is no blank, taken.
  static char Take(string json, ref int at) {
    while (char.IsWhiteSpace(json[at])) ++at;
    return json[at++];
  }

  static void Expect(string json, ref int at, char c) {
    if (Take(json, ref at) != c) throw new FormatException("a change's JSON: " + json);
  }

  static string Text(object value, Encoding encoding, string none) {
    byte[] bytes = value as byte[];
    return bytes != null ? encoding.GetString(bytes) : (string)value ?? none;
  }
}

}  // namespace Trasso
