// Checks each EPUB named on the command line as `java -jar epubcheck.jar BOOK` would, all in one
// Java process, so that the checker starts and compiles its schemas once instead of once per
// book (some four seconds each on a small machine). For each BOOK it writes BOOK.check (the
// checker's messages and its closing "Messages:" line, as the command prints them) and
// BOOK.check.status (1 when the book has errors or fatal errors, 0 when not, 2 when it could
// not be checked). Run as a source file:
//   java -cp /usr/share/java/epubcheck.jar bench/EpubCheckBatch.java BOOK...
import com.adobe.epubcheck.api.EpubCheck;
import com.adobe.epubcheck.util.DefaultReportImpl;
import java.io.File;
import java.io.FileOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;

public class EpubCheckBatch {
    public static void main(String[] books) throws Exception {
        final PrintStream out = System.out;
        final PrintStream err = System.err;
        for (String book : books) {
            int status = 2;
            try (PrintStream report =
                         new PrintStream(new FileOutputStream(book + ".check"), true, "UTF-8")) {
                System.setOut(report);
                System.setErr(report);
                DefaultReportImpl messages = new DefaultReportImpl(book);
                new EpubCheck(new File(book), messages).doValidate();
                int fatals = messages.getFatalErrorCount();
                int errors = messages.getErrorCount();
                report.println("Messages: " + counted(fatals, "fatal") + " / "
                        + counted(errors, "error") + " / "
                        + counted(messages.getWarningCount(), "warning") + " / "
                        + counted(messages.getInfoCount(), "info"));
                status = fatals + errors > 0 ? 1 : 0;
            } catch (Throwable failure) {
                err.println(book + ": " + failure);
            } finally {
                System.setOut(out);
                System.setErr(err);
            }
            Files.write(Paths.get(book + ".check.status"),
                    (status + "\n").getBytes(StandardCharsets.US_ASCII));
        }
    }

    private static String counted(int count, String noun) {
        return count + " " + noun + (count == 1 ? "" : "s");
    }
}
