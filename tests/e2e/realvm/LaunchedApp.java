// LaunchedApp.java — an application started by a packed launcher on the real
// VM: prints its arguments and a launcher property, or ends with a status.
public class LaunchedApp {
    public static void main(String[] args) {
        if (args.length >= 2 && args[0].equals("exit")) System.exit(Integer.parseInt(args[1]));
        System.out.println("arguments: " + String.join("|", args));
        System.out.println("isTanager: " + System.getProperty("kestrel.isTanager"));
        System.err.println("error output");
    }
}
